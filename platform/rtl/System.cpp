#include "rtl/System.h"
