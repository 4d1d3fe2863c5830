#include "documents/Canvas.h"

namespace veltrio {

Canvas::~Canvas() = default;

} // namespace veltrio
