#pragma once

#include <stdexcept>
#include <string>

namespace veltrio {

// The one general error class of the program. Numerical failures derive from
// it; the GUI reports it at the command boundary, veltrio-cli prints it.
class EVeltrioError : public std::runtime_error {
public:
    explicit EVeltrioError(const std::string& message) : std::runtime_error(message) {}
};

// A refused input that carries the text the user is shown.
class EInputError : public EVeltrioError {
public:
    using EVeltrioError::EVeltrioError;
};

} // namespace veltrio
