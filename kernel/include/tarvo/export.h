/* Export macro of the kernel library: only what carries TARVO_API leaves the shared object. */
#ifndef TARVO_EXPORT_H
#define TARVO_EXPORT_H

#ifdef __cplusplus
#define TARVO_EXTERN_C extern "C"
#else
#define TARVO_EXTERN_C
#endif

#define TARVO_API TARVO_EXTERN_C __attribute__((visibility("default")))

#endif
