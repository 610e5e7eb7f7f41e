#pragma once
// The table print job never stops on a failure: a step that fails is skipped, and whatever it
// would have set keeps its earlier value.
#include <exception>

namespace ov {

// Runs the step; false when it failed.
template <typename Step>
bool skipFailingStep(Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace ov
