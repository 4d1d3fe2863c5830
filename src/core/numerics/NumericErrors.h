#pragma once

#include "base/Error.h"

namespace veltrio {

// Failures of the special functions. They carry nothing but their message and
// end the running procedure; the command boundary reports them.
class EBetaIException : public EVeltrioError {
public:
    using EVeltrioError::EVeltrioError;
};

class EBetaCFException : public EVeltrioError {
public:
    using EVeltrioError::EVeltrioError;
};

class ERTBisException : public EVeltrioError {
public:
    using EVeltrioError::EVeltrioError;
};

} // namespace veltrio
