// What a test program's units parse besides the program's headers: those of every unit, and
// GoogleTest with its mocks (see Precompiled.h).
#pragma once

#include "Precompiled.h"

#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
