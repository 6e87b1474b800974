#include "support/testdb.h"
