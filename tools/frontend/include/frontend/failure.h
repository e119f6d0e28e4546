// A front end's failure: one line that the program shows to the person
// (lblctl on standard error, lblprint as a job's or request's reason).
#pragma once

#include <string>

namespace frontend {

struct Failure {
    std::string message;
};

}  // namespace frontend
