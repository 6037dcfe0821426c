// What the operations see of the window. The Qt main window implements it; tests use a recording double.
#pragma once

#include <string>

#include "text/Text.h"
#include "window/Control.h"

namespace quorvane::window {

using text::Text;

class Window {
 public:
  virtual ~Window() = default;

  // Edit box text, group box caption, the combo box's chosen item text.
  virtual Text GetText(Control control) const = 0;
  virtual void SetText(Control control, const Text& value) = 0;
  virtual bool IsVisible(Control control) const = 0;
  virtual void SetVisible(Control control, bool visible) = 0;
  virtual bool IsTicked(Control control) const = 0;
  // Selection of an edit box, in bytes of its GBK text.
  virtual void SelectText(Control control, int start, int length) = 0;
  virtual void GiveFocus(Control control) = 0;
  // The picture box shows the image decoded from bytes, stretched; empty bytes (or bytes that do not
  // decode) clear it.
  virtual void SetPicture(const std::string& bytes) = 0;

  // Replaces the progress line, visible or not.
  virtual void ShowProgress(const Text& line) = 0;
  // Adds at the end of the log pane, after anything the user typed; the end is scrolled into view.
  virtual void AppendLog(const Text& entry) = 0;
  // A pause of ms milliseconds in which window events run; returns at once for ms <= 0. Waits for
  // events rather than spinning.
  virtual void PumpEvents(int ms) = 0;
  // Runs the events already pending and returns at once (between network polls).
  virtual void ProcessPendingEvents() = 0;
  // The system tick count in milliseconds (the test double's clock moves only with its pauses).
  virtual long long TickMs() const = 0;

  // OK-only message box titled "信息：".
  virtual void ShowMessage(const Text& message) = 0;
  // OK/Cancel question titled "提示"; true for OK, false for Cancel or closing the box.
  virtual bool Confirm(const Text& question) = 0;
  // Folder picker: the chosen folder's path, or the empty text.
  virtual Text PickFolder(const Text& title) = 0;
  virtual void SetClipboard(const Text& value) = 0;
  // The shell's open verb on a folder: the file manager shows it.
  virtual void OpenFolder(const Text& path) = 0;

  // Long operations: one at a time, with a bar of items done and a stop request (Esc, closing the window).
  // BeginLongOperation answers false while another one runs; it clears the stop request.
  virtual bool BeginLongOperation() = 0;
  virtual void EndLongOperation() = 0;
  virtual bool StopRequested() const = 0;
  virtual void SetProgressBar(int done, int total) = 0;
};

}  // namespace quorvane::window
