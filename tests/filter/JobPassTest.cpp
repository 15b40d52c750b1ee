// Tests of the line pass in process: line splitting, dropping, insertion points, flushing.
#include <gtest/gtest.h>

#include "JobPass.h"
