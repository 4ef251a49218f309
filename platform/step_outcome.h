#pragma once

// What a step that changes files (a build, an install, an uninstall) did, as a value: the windows and
// ravelin-cli show it as it is instead of counting the log's errors or matching its words.

#include <string>
#include <utility>
#include <vector>

enum class StepResult {
    NothingChanged,     // there was nothing to do, or the step stopped before it changed a file
    Done,               // everything the step set out to do
    DoneWithLeftovers,  // done, but some files could not be taken out or put back; they are named
    Failed,             // not done; the reason says why, and what the step touches is as it was
};

struct StepOutcome {
    StepResult result = StepResult::NothingChanged;
    std::string reason;                  // one line, for Failed
    std::vector<std::string> leftovers;  // for DoneWithLeftovers: the files (paths) left behind
    std::string place;                   // for Done and DoneWithLeftovers: where the result went, if anywhere

    bool succeeded() const { return result == StepResult::Done || result == StepResult::DoneWithLeftovers; }

    static StepOutcome nothingChanged() { return {}; }
    static StepOutcome done(std::string place = {}) { return {StepResult::Done, {}, {}, std::move(place)}; }
    static StepOutcome failed(std::string reason) { return {StepResult::Failed, std::move(reason), {}, {}}; }
};
