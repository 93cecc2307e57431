#include "edition/activity_log.h"
