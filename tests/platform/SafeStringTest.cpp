#include "platform/SafeString.h"

#include <gtest/gtest.h>
