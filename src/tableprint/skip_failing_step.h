#pragma once
// The table print job never stops on a failure: a step that fails is skipped, and whatever it
// would have set keeps its earlier value. What failed is recorded, so that the job can tell its
// caller afterwards: the form shows the first failure, the headless command exits with it.
#include <exception>
#include <optional>

#include "core/error.h"

namespace ov {

class StepFailures {
public:
    // Keeps the first failure; later ones add nothing the user is shown.
    void record(const std::exception& e) {
        if (first_) return;
        if (const auto* error = dynamic_cast<const Error*>(&e)) first_ = *error;
        else first_ = Error(err::Usage, e.what());
    }
    void record(const Error& e) { record(static_cast<const std::exception&>(e)); }
    const std::optional<Error>& first() const { return first_; }

private:
    std::optional<Error> first_;
};

// Runs the step; false when it failed, after recording the failure in `failures` when given.
template <typename Step>
bool skipFailingStep(Step&& step, StepFailures* failures = nullptr) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        if (failures) failures->record(e);
        return false;
    }
}

}  // namespace ov
