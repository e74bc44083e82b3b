#include "app/gtk/boxes.h"

#include <gdk/gdkkeysyms.h>

#include "app/gtk/gui_test_support.h"

namespace tarnwick {
namespace {

using testing::GtkTest;
using testing::whenWindowAppears;

class BoxesTest : public GtkTest {};

TEST_F(BoxesTest, RealQuestionAndInputBoxesAnswerAsChosen) {
  Boxes real = gtkBoxes();
  whenWindowAppears("Frage", [](GtkWindow* w) { gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_YES); });
  EXPECT_EQ(real.question(nullptr, "Frage", "Aktuelles Projekt speichern?", false), BoxAnswer::Yes);
  whenWindowAppears("Info", [](GtkWindow* w) { gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_CANCEL); });
  EXPECT_EQ(real.question(nullptr, "Info", "Some old constants not to bind! Continue?", true), BoxAnswer::Cancel);
  whenWindowAppears("Frage", [](GtkWindow* w) { gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_NO); });
  EXPECT_EQ(real.question(nullptr, "Frage", "x", false), BoxAnswer::No);
  // The close box and Escape give no choice: the caller can tell them from No.
  whenWindowAppears("Frage", [](GtkWindow* w) { testing::sendDelete(GTK_WIDGET(w)); });
  EXPECT_EQ(real.question(nullptr, "Frage", "x", false), BoxAnswer::Closed);
  whenWindowAppears("Frage", [](GtkWindow* w) { testing::pressKey(GTK_WIDGET(w), GDK_KEY_Escape); });
  EXPECT_EQ(real.question(nullptr, "Frage", "x", false), BoxAnswer::Closed);

  whenWindowAppears("Edit Gadget", [](GtkWindow* w) { gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_OK); });
  EXPECT_EQ(real.input(nullptr, "Edit Gadget", "", "MyGadget"), std::optional<std::string>("MyGadget"));
  whenWindowAppears("Add Gadget", [](GtkWindow* w) { gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_CANCEL); });
  EXPECT_FALSE(real.input(nullptr, "Add Gadget", "", "").has_value());
}

}  // namespace
}  // namespace tarnwick
