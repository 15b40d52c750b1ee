// End-to-end tests: the built qorpstops program on small jobs, exact output bytes.
#include <gtest/gtest.h>
