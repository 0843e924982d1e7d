#include "demo.h"
