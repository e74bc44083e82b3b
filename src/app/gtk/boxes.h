// The stock boxes of the shell (message, question, input box, file choosers) and the
// hand-over of a folder to the file manager, behind one replaceable table, so that
// tests can answer them while the program uses GTK's dialogs. Every box is centred on
// the window it belongs to.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// Closed: the box was closed without a choice (Escape or its close box).
enum class BoxAnswer { Yes, No, Cancel, Closed };

struct FileFilter {
  std::string name;     // e.g. "Common"
  std::string pattern;  // e.g. "*.pb*"; several parted by ";"
};

struct Boxes {
  // A box with a single OK button.
  std::function<void(GtkWindow* parent, const std::string& title, const std::string& text)> message;
  // The same box for something that failed, with the error icon.
  std::function<void(GtkWindow* parent, const std::string& title, const std::string& text)> error;
  // Yes/No, or Yes/No/Cancel when withCancel is set; Closed when the box was closed
  // without a choice.
  std::function<BoxAnswer(GtkWindow* parent, const std::string& title, const std::string& text, bool withCancel)>
      question;
  // An input box, its prompt (with "_" before a mnemonic) labelling the entry; nothing
  // when cancelled.
  std::function<std::optional<std::string>(GtkWindow* parent, const std::string& title, const std::string& prompt,
                                           const std::string& initial)>
      input;
  // Open chooser; the chosen full paths in the chooser's order, empty when cancelled.
  std::function<std::vector<std::string>(GtkWindow* parent, const std::string& title, const std::string& folder,
                                         const std::vector<FileFilter>& filters, bool multiple)>
      openFiles;
  // Save chooser with a proposed name (folder + file); nothing when cancelled.
  std::function<std::optional<std::string>(GtkWindow* parent, const std::string& title, const std::string& proposed,
                                           const std::vector<FileFilter>& filters)>
      saveFile;
  // Shows a folder in the desktop's file manager; false with a reason when it cannot.
  std::function<bool(GtkWindow* parent, const std::string& folder, std::string& error)> showFolder;
};

// The boxes in use; they start as the real GTK dialogs.
Boxes& boxes();
// The real GTK implementations.
Boxes gtkBoxes();

}  // namespace tarnwick
