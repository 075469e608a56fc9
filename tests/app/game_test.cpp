// Whole games on the headless display.
#include <gtest/gtest.h>

#include "game_fixture.h"

namespace dexlora::test {
namespace {

}  // namespace
}  // namespace dexlora::test
