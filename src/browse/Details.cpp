#include "browse/Details.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace quorvane::browse {
namespace {

using window::Control;

// Larger than any preview the download keeps (its body cap): such a file is not a picture of ours, and
// reading it whole would only stall the window.
constexpr std::uintmax_t kPreviewReadLimit = 64ull * 1024 * 1024;

// The file's bytes, or none for anything but a readable regular file of a sane size (a FIFO would block).
std::string ReadPreview(const std::filesystem::path& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);  // an error for anything but a regular file
  if (error || size > kPreviewReadLimit) return {};
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ShowPreview(index::Workspace& workspace, const Text& id) {
  const auto path = text::ToNativePath(workspace.PreviewFile(id));
  std::error_code error;
  const bool exists = std::filesystem::exists(path, error);
  workspace.window.SetVisible(Control::NoPreviewLabel, !exists);
  workspace.window.SetPicture(exists ? ReadPreview(path) : std::string());
}

Text Description(index::ModIndex& table) {
  Text joined;
  for (int k = index::kFirstDescription; k < index::kFirstDescription + index::kDescriptionPieces; ++k) {
    joined += table.ReadText(k);
  }
  return joined;
}

}  // namespace

void ShowModDetails(index::Workspace& workspace, const Text& rowText, const Text& id) {
  window::Window& window = workspace.window;
  window.SetClipboard(id);
  window.SetText(Control::PreviewGroup, text::Gbk("预览图:") + rowText + "/" + id);
  ShowPreview(workspace, id);

  // The table stays open for the next details call; a table that cannot be opened reads as empty fields,
  // which clears the description.
  workspace.OpenTable();
  workspace.table.GoTo(text::IntegerValue(rowText));
  window.SetText(Control::DescriptionBox, text::LinesFromBr(Description(workspace.table)));
}

void ShowCurrentRowDetails(index::Workspace& workspace) {
  const int row = workspace.list.CurrentRow();
  ShowModDetails(workspace, workspace.list.CellText(row, 0), workspace.list.CellText(row, 1));
}

}  // namespace quorvane::browse
