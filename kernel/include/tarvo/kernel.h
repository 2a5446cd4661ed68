/* The kernel's whole public interface. */
#ifndef TARVO_KERNEL_H
#define TARVO_KERNEL_H

#include "tarvo/config.h"
#include "tarvo/context.h"
#include "tarvo/directory.h"
#include "tarvo/downloads.h"
#include "tarvo/firmware.h"
#include "tarvo/fonts.h"
#include "tarvo/identify.h"
#include "tarvo/list.h"
#include "tarvo/models.h"
#include "tarvo/network.h"
#include "tarvo/port.h"
#include "tarvo/report.h"
#include "tarvo/services.h"
#include "tarvo/session.h"
#include "tarvo/strings.h"
#include "tarvo/types.h"

#endif
