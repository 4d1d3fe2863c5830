#include "documents/BrowseObject.h"

#include "documents/Report.h"

namespace veltrio {

TTavBrowseObject::~TTavBrowseObject() = default;

void TTavBrowseObject::Draw(int, int, Canvas&) {}
void TTavBrowseObject::Print(Report&) {}
void TTavBrowseObject::Preview(int, int) {}
void TTavBrowseObject::ShowInfo() const {}
int TTavBrowseObject::ScreenHeight(Canvas&) {
    return 0;
}
int TTavBrowseObject::ScreenWidth(Canvas&) {
    return 0;
}
bool TTavBrowseObject::IsFormat() const {
    return false;
}
void TTavBrowseObject::WriteHTML(HtmlExport&) {}
void TTavBrowseObject::WriteRTF(RtfExport&) {}
void TTavBrowseObject::AppendPlainText(std::vector<std::string>&) const {}

double SpaceLeft(const Report& report) {
    return report.AreaBottom() - report.CursorY() - report.FooterHeight();
}

} // namespace veltrio
