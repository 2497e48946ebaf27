#include "support/recording_notices.h"
