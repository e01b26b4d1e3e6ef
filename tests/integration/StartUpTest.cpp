// Runs the real VTInst.exe under Wine from a prepared folder.
#include <gtest/gtest.h>
