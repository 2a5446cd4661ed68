/*
 * Network and shell-user administration of escape-language printers whose firmware runs a
 * command shell. Each function sends one shell command line through the pass-through command
 * <ESC>.x, reads the shell's answer and closes the connection again.
 *
 * Unknown handle: PCU_ERR_NO_CONTEXT (2); the port cannot be opened: PCU_ERR_OPEN (11); another
 * kernel operation in progress: PCU_ERR_BUSY; memory ran out: PCU_ERR_NO_MEMORY. Note that these
 * codes are nonzero, so callers of the two functions that answer with a flag must compare with 1.
 *
 * Return conventions:
 *
 *   function                  success / yes                 otherwise
 *   PCUGetNetwork             PCU_OK (0)                    a PCU_ERR_* code
 *   PCUChangeUser             1                             a PCU_ERR_* code
 *   PCUCheckIfAdministrator   1 (admin is logged in)        PCU_OK (0, someone else) or a
 *                                                           PCU_ERR_* code
 */
#ifndef TARVO_NETWORK_H
#define TARVO_NETWORK_H

#include "tarvo/export.h"
#include "tarvo/types.h"

/* Longest shell user name and password PCUChangeUser passes on. */
#define PCU_USER_NAME_MAX 32
#define PCU_PASSWORD_MAX 64

/*
 * Asks the shell for the name of its network interface (echo IFNAME=...).
 * `hasNetwork` [out]: becomes 1 when the answer is longer than 8 bytes (a name followed
 * "IFNAME="), else 0, also when nothing came; must not be null.
 * Returns the result of closing the connection (PCU_OK or PCU_ERR_CLOSE), PCU_ERR_NO_CONTEXT,
 * PCU_ERR_OPEN, PCU_ERR_BUSY, PCU_ERR_NO_MEMORY or PCU_ERR_ARGUMENT (null hasNetwork).
 */
TARVO_API int PCUGetNetwork(int ctx, int* hasNetwork);

/*
 * Switches the printer's shell user. The user name "admin" (exactly) is switched to with
 * `password` (su -p PASSWORD admin); any other name switches to the fixed user "user", without
 * a password. The shell's answer is read but not examined: PCUCheckIfAdministrator tells who is
 * logged in.
 * `userName` [in]: 1..PCU_USER_NAME_MAX letters, digits, '_', '-' or '.'; must not be null.
 * `password` [in]: for "admin", 1..PCU_PASSWORD_MAX printable characters without blanks and
 * without any of " ' ` ; < > \ $ | & (which the printer's shell or the command notation would
 * take as syntax); it goes to the printer as given, is kept nowhere, and is shown masked in the
 * byte trace. For any other user it is not looked at and may be null.
 * Returns 1 once the port was open (whether the shell took the command or not),
 * PCU_ERR_NO_CONTEXT, PCU_ERR_OPEN, PCU_ERR_BUSY, PCU_ERR_NO_MEMORY, or PCU_ERR_ARGUMENT (null or
 * unusable name or password; nothing is sent).
 */
TARVO_API int PCUChangeUser(int ctx, const char* userName, const char* password);

/*
 * Asks the shell who is logged in (whoami).
 * Returns 1 when the answer contains "admin" anywhere (so "administrator" counts); otherwise the
 * result of closing the connection (PCU_OK normally, PCU_ERR_CLOSE), or PCU_ERR_NO_CONTEXT,
 * PCU_ERR_OPEN, PCU_ERR_BUSY or PCU_ERR_NO_MEMORY.
 */
TARVO_API int PCUCheckIfAdministrator(int ctx);

#endif
