#include "Xlsx.h"

namespace rvm {
namespace {
const char kNoXlsx[] = "この版は Excel のブック (.xlsx) を読み書きできません。CSV を使ってください。";
}

bool XlsxAvailable() { return false; }

std::optional<std::string> XlsxFromRows(const std::vector<Page>&, const std::vector<int>&, std::string& error) {
    error = kNoXlsx;
    return std::nullopt;
}

bool RowsFromXlsx(std::string_view, std::vector<Page>&, std::vector<std::size_t>&, std::string& error) {
    error = kNoXlsx;
    return false;
}

}  // namespace rvm
