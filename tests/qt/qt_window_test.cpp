// The real window built from a plain MainForm: menu bar, widgets, and user input coming
// back to the form's handlers.
#include "platform/qt/qt_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>
#include <vector>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "platform/palette.h"
#include "settings/main_form.h"

namespace jumblix {
namespace {

// What the menu shows: a single '&' only underlines the letter after it.
QString shown_text(const QAction* a) {
  return QString(a->text()).replace("&&", QChar(1)).remove('&').replace(QChar(1), '&');
}

QStringList texts(const QList<QAction*>& actions, bool visible) {
  QStringList out;
  for (QAction* a : actions)
    if (a->isVisible() == visible) out << shown_text(a);
  return out;
}

void collect_checked(const QList<QAction*>& actions, QStringList& out) {
  for (QAction* a : actions) {
    if (a->isChecked()) out << shown_text(a);
    if (a->menu()) collect_checked(a->menu()->actions(), out);
  }
}

class QtWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  template <typename W>
  W* widget(const Control& control) {
    auto* w = qobject_cast<W*>(window.widget_for(control));
    EXPECT_NE(w, nullptr) << control.name();
    return w;
  }
  QWidget* canvas() { return window.canvas_widget(); }

  MainForm form;
  QtWindow window{form};
};

TEST_F(QtWindowTest, MenuBarHoldsEveryItemOfTheFormInItsPlace) {
  for (MenuItem* item : form.menu_items()) {
    SCOPED_TRACE(item->name());
    QAction* action = window.action_for(*item);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(shown_text(action).toStdString(), item->caption());
    EXPECT_EQ(action->isVisible(), item->visible());
    // Qt reports a hidden action as disabled; the enabled state returns when it is shown.
    EXPECT_EQ(action->isEnabled(), item->enabled() && item->visible());
    EXPECT_EQ(action->isChecked(), item->checked());
    EXPECT_EQ(window.menu_for(*item) != nullptr, !item->children().empty());
    // Same place among its siblings as in the form's tree.
    const QList<QAction*> siblings =
        item->parent() ? window.menu_for(*item->parent())->actions() : window.menuBar()->actions();
    const auto& form_siblings = item->parent() ? item->parent()->children() : std::vector<MenuItem*>{};
    ASSERT_TRUE(siblings.contains(action));
    if (item->parent()) {
      const auto at = std::find(form_siblings.begin(), form_siblings.end(), item) - form_siblings.begin();
      EXPECT_EQ(siblings.indexOf(action), at);
    }
  }
  EXPECT_EQ(window.menuBar()->actions().size(), 3);
}

TEST_F(QtWindowTest, AtStartThePlayerSeesOnlyTheOptionsMenuWithItsFourCommands) {
  EXPECT_EQ(texts(window.menuBar()->actions(), true), QStringList{"Options"});
  EXPECT_EQ(texts(window.menuBar()->actions(), false), (QStringList{"Instructions", "Key help"}));
  const QList<QAction*> options = window.menu_for(form.options)->actions();
  EXPECT_EQ(texts(options, true),
            (QStringList{"Animated puzzle speed", "Pieces rotatable?", "Scr-Saver options", "Quit"}));
  EXPECT_EQ(texts(options, false), (QStringList{"sfancy", "Puzzle", "Solving options", "Colour", "New puzzle"}));

  QStringList checked;
  collect_checked(window.menuBar()->actions(), checked);
  EXPECT_EQ(checked, (QStringList{"sfancy", "Pictures are not random", "Fast", "User solves puzzle", "No",
                                  "Save pictures into Screensaver folder"}));
  EXPECT_FALSE(window.action_for(form.dsfdfdf)->isEnabled());
  EXPECT_EQ(window.windowTitle(), "Jumblix: By Corvel (age 18) - (Click to begin)");
  EXPECT_EQ(canvas()->size(), QSize(754, 385));
  for (Control* c : form.controls()) {
    const QWidget* w = window.widget_for(*c);
    EXPECT_TRUE(w == nullptr || !w->isVisible()) << c->name();
  }
}

TEST_F(QtWindowTest, PropertyChangesReachTheWidgetsAtOnce) {
  form.Label5.show();
  auto* label = widget<QLabel>(form.Label5);
  EXPECT_TRUE(label->isVisible());
  EXPECT_EQ(label->text(), "Chosen picture:");
  EXPECT_EQ(label->geometry(), QRect(32, 16, 81, 17));
  EXPECT_EQ(label->palette().color(QPalette::WindowText).rgb(), palette_rgb(11));
  form.Label5.move(50, 60);
  EXPECT_EQ(label->geometry(), QRect(50, 60, 81, 17));
  form.message.set_caption("Cannot load picture");
  EXPECT_EQ(widget<QLabel>(form.message)->text(), "Cannot load picture");

  form.Text1.set_text("7");
  EXPECT_EQ(widget<QLineEdit>(form.Text1)->text(), "7");
  // The limit bounds typing only; a longer text from the game is shown whole.
  form.Text4.set_text("100");
  EXPECT_EQ(widget<QLineEdit>(form.Text4)->text(), "100");
  form.Text5.set_text("1000");
  EXPECT_EQ(widget<QLineEdit>(form.Text5)->cursorPosition(), 0) << "shown from its first character";

  form.tslow.set_checked(true);
  form.tfast.set_checked(false);
  EXPECT_TRUE(window.action_for(form.tslow)->isChecked());
  EXPECT_FALSE(window.action_for(form.tfast)->isChecked());
  form.puzzle7.show();
  form.colour.show();
  form.colour.disable();
  EXPECT_TRUE(window.action_for(form.puzzle7)->isVisible());
  EXPECT_FALSE(window.action_for(form.colour)->isEnabled());
  form.instructions.show();
  EXPECT_EQ(texts(window.menuBar()->actions(), true), (QStringList{"Options", "Instructions"}));

  form.set_caption("Jumblix: By Corvel");
  EXPECT_EQ(window.windowTitle(), "Jumblix: By Corvel");

  form.Option5.set_value(true);
  form.Option5.set_background(12);
  EXPECT_TRUE(widget<QRadioButton>(form.Option5)->isChecked());
  EXPECT_FALSE(widget<QRadioButton>(form.Option1)->isChecked());
  EXPECT_EQ(widget<QRadioButton>(form.Option5)->palette().color(QPalette::Window).rgb(), palette_rgb(12));
  EXPECT_TRUE(widget<QRadioButton>(form.Option5)->text().isEmpty());

  form.Command1.show();
  form.Command1.disable();
  EXPECT_FALSE(widget<QPushButton>(form.Command1)->isEnabled());
  EXPECT_EQ(widget<QPushButton>(form.Command1)->text(), "Begin");

  form.Check1.set_value(1);
  EXPECT_TRUE(widget<QCheckBox>(form.Check1)->isChecked());
  EXPECT_EQ(window.widget_for(form.Picture1), nullptr);
}

TEST_F(QtWindowTest, ChoosingAMenuCommandRunsItsHandlerAndTheGameKeepsTheCheckMarks) {
  int slow = 0, fast = 0;
  form.tslow.on_click = [&] {
    ++slow;
    form.tslow.set_checked(true);
    form.tfast.set_checked(false);
  };
  form.tfast.on_click = [&] { ++fast; };  // changes nothing

  window.action_for(form.tslow)->trigger();
  EXPECT_EQ(slow, 1);
  EXPECT_TRUE(window.action_for(form.tslow)->isChecked());
  EXPECT_FALSE(window.action_for(form.tfast)->isChecked());

  // Qt would flip these by itself; they stay as the game has them.
  window.action_for(form.tfast)->trigger();
  window.action_for(form.tslow)->trigger();
  EXPECT_EQ(fast, 1);
  EXPECT_EQ(slow, 2);
  EXPECT_TRUE(window.action_for(form.tslow)->isChecked());
  EXPECT_FALSE(window.action_for(form.tfast)->isChecked());
}

TEST_F(QtWindowTest, MousePressesReachTheGameWithButtonAndCanvasPixel) {
  std::vector<std::tuple<int, double, double>> presses;
  form.on_mouse_down = [&](int button, int, double x, double y) { presses.emplace_back(button, x, y); };
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(100, 50));
  QTest::mouseClick(canvas(), Qt::RightButton, {}, QPoint(0, 1));
  QTest::mouseClick(canvas(), Qt::MiddleButton, {}, QPoint(753, 384));
  // The second press of a left double click comes as a double-click event and is no press;
  // for the other buttons it is.
  QTest::mouseDClick(canvas(), Qt::LeftButton, {}, QPoint(7, 8));
  QTest::mouseDClick(canvas(), Qt::RightButton, {}, QPoint(9, 10));
  ASSERT_EQ(presses.size(), 4u);
  EXPECT_EQ(presses[0], std::make_tuple(1, 100.0, 50.0));
  EXPECT_EQ(presses[1], std::make_tuple(2, 0.0, 1.0));
  EXPECT_EQ(presses[2], std::make_tuple(4, 753.0, 384.0));
  EXPECT_EQ(presses[3], std::make_tuple(2, 9.0, 10.0));
}

TEST_F(QtWindowTest, APressOnTheNoticeOverTheBoardReachesTheGame) {
  std::vector<std::pair<double, double>> presses;
  form.on_mouse_down = [&](int, int, double x, double y) { presses.emplace_back(x, y); };
  form.show_message("The picture \"x.bmp\" could not be loaded");
  QWidget* notice = window.widget_for(form.message);
  ASSERT_TRUE(notice && notice->isVisible());
  // Through the window, as the window system delivers it, so the widget under the pointer counts.
  QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, notice->mapTo(&window, QPoint(100, 5)));
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0], std::make_pair(100.0, 5.0));
}

TEST_F(QtWindowTest, KeysReachTheGameAsItsKeyCodes) {
  std::vector<int> keys;
  form.on_key_down = [&](int key, int) { keys.push_back(key); };
  QTest::keyClick(canvas(), Qt::Key_Return);
  QTest::keyClick(canvas(), Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(canvas(), Qt::Key_Escape);
  QTest::keyClick(canvas(), Qt::Key_Left);
  QTest::keyClick(canvas(), Qt::Key_Up);
  QTest::keyClick(canvas(), Qt::Key_Right);
  QTest::keyClick(canvas(), Qt::Key_Down);
  // Keypad with Num Lock on (digits) and off (arrows) moves pieces alike.
  QTest::keyClick(canvas(), Qt::Key_8, Qt::KeypadModifier);
  QTest::keyClick(canvas(), Qt::Key_Up, Qt::KeypadModifier);
  QTest::keyClick(canvas(), Qt::Key_4, Qt::KeypadModifier);
  QTest::keyClick(canvas(), Qt::Key_6, Qt::KeypadModifier);
  QTest::keyClick(canvas(), Qt::Key_2, Qt::KeypadModifier);
  QTest::keyClick(canvas(), 'b');
  QTest::keyClick(canvas(), 'B', Qt::ShiftModifier);  // Shift goes down first, as a key of its own
  QTest::keyClicks(canvas(), "ijkl");
  QTest::keyClick(canvas(), '8');  // the main keyboard's 8 is just a digit
  QTest::keyClick(canvas(), Qt::Key_Tab);
  EXPECT_EQ(keys, (std::vector<int>{13, 13, 27, 37, 38, 39, 40, 38, 38, 37, 39, 40, 66, 16, 66, 73, 74, 75, 76,
                                    56, 9}));
  // Keys the game does nothing with still reach it, with their classic codes.
  keys.clear();
  for (Qt::Key key : {Qt::Key_Comma, Qt::Key_Semicolon, Qt::Key_Apostrophe, Qt::Key_BracketLeft, Qt::Key_Menu,
                      Qt::Key_Super_L})
    QTest::keyClick(canvas(), key);
  for (Qt::Key key : {Qt::Key_Asterisk, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Slash, Qt::Key_Period})
    QTest::keyClick(canvas(), key, Qt::KeypadModifier);
  QTest::keyClick(canvas(), Qt::Key_Exclam, Qt::ShiftModifier);
  EXPECT_EQ(keys, (std::vector<int>{188, 186, 222, 219, 93, 91, 106, 107, 109, 111, 110, 16, '1'}));
  keys.clear();
  QTest::keyClick(&window, Qt::Key_Down);  // the window itself passes keys on too
  EXPECT_EQ(keys, std::vector<int>{40});
}

TEST_F(QtWindowTest, TypingGoesToTheTextBoxWithinItsLimitNotToTheGame) {
  std::vector<int> game_keys, box_downs;
  int box_ups = 0;
  form.on_key_down = [&](int key, int) { game_keys.push_back(key); };
  form.Text1.on_key_down = [&](int key) { box_downs.push_back(key); };
  form.Text1.on_key_up = [&](int) { ++box_ups; };
  form.Text1.set_text("");
  form.Text1.show();
  auto* edit = widget<QLineEdit>(form.Text1);
  QTest::mouseClick(edit, Qt::LeftButton);

  QTest::keyClicks(edit, "123");
  EXPECT_EQ(form.Text1.text(), "12");
  EXPECT_EQ(edit->text(), "12");
  EXPECT_EQ(box_ups, 3);
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClick(edit, Qt::Key_Escape);
  QTest::keyClick(edit, Qt::Key_Up);
  EXPECT_EQ(box_downs, (std::vector<int>{'1', '2', '3', 13, 27, 38}));
  EXPECT_TRUE(game_keys.empty());

  // A key-up handler that corrects the text, as the size boxes do, shows at once.
  form.Text1.on_key_up = [&](int) {
    if (form.Text1.text() == "99") form.Text1.set_text("20");
  };
  edit->selectAll();
  QTest::keyClicks(edit, "99");
  EXPECT_EQ(edit->text(), "20");

  // A longer text from the game can be shortened but not lengthened again.
  form.Text1.set_text("100");
  edit->end(false);
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClick(edit, '5');
  EXPECT_EQ(form.Text1.text(), "10");
}

TEST_F(QtWindowTest, TypingInsideATextBoxKeepsTheCursorSelectionAndLimit) {
  form.Text4.set_text("15");
  form.Text4.show();
  auto* edit = widget<QLineEdit>(form.Text4);
  QTest::mouseClick(edit, Qt::LeftButton);
  QTest::keyClick(edit, Qt::Key_Home);
  QTest::keyClick(edit, Qt::Key_Right);
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClick(edit, '3');
  EXPECT_EQ(form.Text4.text(), "35");
  EXPECT_EQ(edit->cursorPosition(), 1);
  edit->undo();  // the player's edits can be undone
  EXPECT_EQ(form.Text4.text(), "5");

  // Replacing a character of the game's longer text would keep it over the limit: refused,
  // with the selection kept. Shortening it leaves the cursor where it was.
  form.Text4.set_text("100");
  edit->setSelection(0, 1);
  QTest::keyClick(edit, '9');
  EXPECT_EQ(form.Text4.text(), "100");
  EXPECT_EQ(edit->selectedText(), "1");
  QTest::keyClick(edit, Qt::Key_Home);
  QTest::keyClick(edit, Qt::Key_Delete);
  EXPECT_EQ(form.Text4.text(), "00");
  EXPECT_EQ(edit->cursorPosition(), 0);
  edit->selectAll();
  QTest::keyClick(edit, '9');
  EXPECT_EQ(form.Text4.text(), "9");
}

TEST_F(QtWindowTest, EnterInABoxThatHidesItGivesTheKeyboardBackToTheGame) {
  std::vector<int> game_keys;
  form.on_key_down = [&](int key, int) { game_keys.push_back(key); };
  form.Text4.on_key_down = [&](int key) {
    if (key == 13) form.Text4.hide();
  };
  form.Text4.show();
  auto* edit = widget<QLineEdit>(form.Text4);
  QTest::mouseClick(edit, Qt::LeftButton);
  ASSERT_TRUE(edit->hasFocus());
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_FALSE(edit->isVisible());
  EXPECT_TRUE(canvas()->hasFocus());
  EXPECT_TRUE(game_keys.empty());

  // Clicking the canvas also takes the keyboard back from a box.
  form.Text1.show();
  QTest::mouseClick(widget<QLineEdit>(form.Text1), Qt::LeftButton);
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(400, 300));
  EXPECT_TRUE(canvas()->hasFocus());
}

TEST_F(QtWindowTest, FileListShowsTheFolderAndAClickPicksTheEntry) {
  QTemporaryDir dir;
  for (const char* name : {"b.bmp", "a.bmp", "notes.txt"})
    std::ofstream(std::filesystem::path(dir.path().toStdString()) / name) << "x";
  int clicks = 0;
  form.File1.on_click = [&] { ++clicks; };
  form.File1.set_pattern("*.bmp");
  form.File1.set_folder(dir.path().toStdString());
  form.File1.show();
  auto* list = widget<QListWidget>(form.File1);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text(), "a.bmp");
  EXPECT_EQ(list->item(1)->text(), "b.bmp");

  form.File1.set_selected(0);  // the game selecting is not a click
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_EQ(clicks, 0);

  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
  EXPECT_EQ(form.File1.selected(), 1);
  EXPECT_EQ(form.File1.selected_text(), "b.bmp");
  EXPECT_EQ(clicks, 1);
  // Clicking the selected entry again is a pick too; moving with the keys picks as well.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
  EXPECT_EQ(clicks, 2);
  QTest::keyClick(list, Qt::Key_Up);
  EXPECT_EQ(form.File1.selected(), 0);
  EXPECT_EQ(clicks, 3);
}

TEST_F(QtWindowTest, ButtonsOptionButtonsAndCheckBoxAnswerClicks) {
  int begun = 0;
  form.Command1.on_click = [&] { ++begun; };
  form.Command1.show();
  QTest::mouseClick(widget<QPushButton>(form.Command1), Qt::LeftButton);
  EXPECT_EQ(begun, 1);

  for (OptionButton* o : form.option_buttons()) o->show();
  auto* seven = widget<QRadioButton>(form.Option7);
  QTest::mouseClick(seven, Qt::LeftButton);
  EXPECT_TRUE(form.Option7.value());
  EXPECT_FALSE(form.Option1.value());
  EXPECT_FALSE(widget<QRadioButton>(form.Option1)->isChecked());
  QTest::mouseClick(seven, Qt::LeftButton);  // clicking the selected one keeps it selected
  EXPECT_TRUE(form.Option7.value());
  EXPECT_TRUE(seven->isChecked());

  form.Check1.show();
  QTest::mouseClick(widget<QCheckBox>(form.Check1), Qt::LeftButton);
  EXPECT_EQ(form.Check1.value(), 1);
}

TEST_F(QtWindowTest, AGreyedColourSwatchDoesNotShowItsColour) {
  form.Option5.set_background(12);
  form.Option5.show();
  auto* swatch = widget<QRadioButton>(form.Option5);
  auto colour_pixels = [&] {
    const QImage shot = swatch->grab().toImage();
    int n = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = shot.width() / 2; x < shot.width(); ++x) n += shot.pixel(x, y) == palette_rgb(12);
    return n;
  };
  const int right_half = swatch->width() / 2 * swatch->height();
  EXPECT_GT(colour_pixels(), right_half * 9 / 10);
  form.Option5.disable();
  EXPECT_EQ(colour_pixels(), 0);
  form.Option5.enable();
  EXPECT_GT(colour_pixels(), right_half * 9 / 10);
}

TEST_F(QtWindowTest, ClosingTheWindowUnloadsTheForm) {
  int unloads = 0;
  form.on_unload = [&] { ++unloads; };
  window.close();
  EXPECT_EQ(unloads, 1);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(QtWindowTest, MaximizeGivesTheGameTheNewDrawingSizeBeforeItReturns) {
  form.maximize();
  EXPECT_EQ(QSize(form.canvas.width(), form.canvas.height()), canvas()->size());
  EXPECT_GT(form.canvas.height(), 385);
  form.maximize();  // already maximized: nothing changes, nothing waits
  EXPECT_EQ(QSize(form.canvas.width(), form.canvas.height()), canvas()->size());
  // Given back its normal size, the window is as it was before the game maximized it.
  form.restore_size();
  EXPECT_EQ(QSize(form.canvas.width(), form.canvas.height()), QSize(754, 385));
  EXPECT_EQ(canvas()->size(), QSize(754, 385));
  // A window the player maximized himself stays maximized.
  window.showMaximized();
  ASSERT_TRUE(QTest::qWaitFor([&] { return canvas()->height() > 385; }));
  form.maximize();
  form.restore_size();
  EXPECT_GT(form.canvas.height(), 385);
}

TEST_F(QtWindowTest, TheStatusLineStandsUnderTheDrawingAreaWhichKeepsItsSize) {
  form.status_line.set_text("Moves 3 \u00b7 0:07");
  EXPECT_EQ(window.status_label()->text(), QString::fromUtf8("Moves 3 \u00b7 0:07"));
  EXPECT_TRUE(window.statusBar()->isVisible());
  EXPECT_EQ(canvas()->size(), QSize(754, 385));
  const int canvas_bottom = canvas()->mapTo(&window, QPoint(0, canvas()->height())).y();
  EXPECT_GE(window.statusBar()->geometry().top(), canvas_bottom);
  EXPECT_EQ(window.status_label()->font(), window.font());
  // A text longer than the window is cut off; it does not widen the window.
  form.status_line.set_text(std::string(400, 'x'));
  QApplication::processEvents();
  EXPECT_EQ(canvas()->size(), QSize(754, 385));
}

TEST_F(QtWindowTest, TheWindowShowsTheCanvasAndCanBeSavedAsAPicture) {
  form.canvas.fill_box(12, 10, 10, 29, 29);  // light red
  form.Label5.show();
  QTemporaryDir dir;
  const QString path = dir.filePath("window.png");
  ASSERT_TRUE(window.save_screenshot(path));
  const QImage shot(path);
  ASSERT_FALSE(shot.isNull());
  EXPECT_EQ(shot.size(), window.size() * window.devicePixelRatio());
  const QPoint inside = canvas()->mapTo(&window, QPoint(20, 20)) * window.devicePixelRatio();
  const QPoint outside = canvas()->mapTo(&window, QPoint(40, 200)) * window.devicePixelRatio();
  EXPECT_EQ(shot.pixel(inside), palette_rgb(12));
  EXPECT_EQ(shot.pixel(outside), palette_rgb(0));
}

// Files dragged from a file manager are offered to the game; a dragged text is not.
TEST_F(QtWindowTest, FilesDroppedOnTheWindowReachTheGame) {
  std::vector<std::string> dropped;
  form.on_files_dropped = [&](const std::vector<std::string>& files) { dropped = files; };
  QMimeData text;
  text.setText("just words");
  QDragEnterEvent enter_text(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, {});
  QApplication::sendEvent(&window, &enter_text);
  EXPECT_FALSE(enter_text.isAccepted());

  QMimeData files;
  files.setUrls({QUrl::fromLocalFile("/photos/sunset.jpg"), QUrl("https://example.org/a.png"),
                 QUrl::fromLocalFile("/photos/kite.png")});
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &files, Qt::LeftButton, {});
  QApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &files, Qt::LeftButton, {});
  QApplication::sendEvent(&window, &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(dropped, (std::vector<std::string>{"/photos/sunset.jpg", "/photos/kite.png"}));
}

}  // namespace
}  // namespace jumblix

namespace jumblix {
namespace {

// Tab from the board through a panel's controls as they are read; Enter in a box presses
// the default button, Escape the cancel button; the arrows pick a colour.
TEST_F(QtWindowTest, TheKeyboardAloneGoesThroughEveryPanel) {
  int begun = 0, done = 0, cancelled = 0, colour_done = 0, colour_cancelled = 0;
  form.Command1.on_click = [&] { ++begun; };
  form.Command2.on_click = [&] { ++done; };
  form.Command3.on_click = [&] { ++cancelled; };
  form.Command5.on_click = [&] { ++colour_done; };
  form.Command4.on_click = [&] { ++colour_cancelled; };
  auto tab_round = [&](Qt::KeyboardModifiers modifiers = {}) {
    std::vector<QWidget*> visited;
    canvas()->setFocus();
    for (int i = 0; i < 12; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
      if (QApplication::focusWidget() == canvas()) break;
      visited.push_back(QApplication::focusWidget());
    }
    return visited;
  };
  for (Control* c : std::initializer_list<Control*>{&form.Label5, &form.Text3, &form.File1, &form.Label8, &form.File2,
                                                    &form.Label1, &form.Text1, &form.Label2, &form.Text2,
                                                    &form.Command1})
    c->show();
  EXPECT_EQ(tab_round(), (std::vector<QWidget*>{window.widget_for(form.Text3), window.widget_for(form.File1),
                                                window.widget_for(form.File2), window.widget_for(form.Text1),
                                                window.widget_for(form.Text2), window.widget_for(form.Command1)}));
  EXPECT_EQ(tab_round(Qt::ShiftModifier).front(), window.widget_for(form.Command1));
  QTest::keyClick(window.widget_for(form.Text2), Qt::Key_Return);
  EXPECT_EQ(begun, 1);
  QTest::keyClick(window.widget_for(form.Command1), Qt::Key_Space);
  EXPECT_EQ(begun, 2);

  // The chooser: Enter in a box is "Done", Escape "Cancel".
  form.Command1.hide();
  form.File2.hide();
  form.Label8.hide();
  form.Command2.show();
  form.Command3.show();
  QTest::keyClick(window.widget_for(form.Text1), Qt::Key_Enter);
  QTest::keyClick(window.widget_for(form.File1), Qt::Key_Escape);
  EXPECT_EQ(done, 1);
  EXPECT_EQ(cancelled, 1);
  for (Control* c : form.controls()) c->hide();

  // A colour panel: Tab reaches the selected swatch only, the arrows choose another.
  form.Option3.set_value(true);
  for (OptionButton* o : form.option_buttons()) o->show();
  form.Command5.show();
  form.Command4.show();
  EXPECT_EQ(tab_round(), (std::vector<QWidget*>{window.widget_for(form.Option3), window.widget_for(form.Command5),
                                                window.widget_for(form.Command4)}));
  window.widget_for(form.Option3)->setFocus();
  QTest::keyClick(window.widget_for(form.Option3), Qt::Key_Right);
  EXPECT_TRUE(form.Option4.value());
  EXPECT_FALSE(form.Option3.value());
  QTest::keyClick(window.widget_for(form.Option4), Qt::Key_Return);
  QTest::keyClick(window.widget_for(form.Option4), Qt::Key_Escape);
  EXPECT_EQ(colour_done, 1);
  EXPECT_EQ(colour_cancelled, 1);
  for (Control* c : form.controls()) c->hide();

  // The puzzle code's box takes the keyboard as its panel opens: the code is typed at once.
  canvas()->setFocus();
  form.code_text.show();
  EXPECT_EQ(QApplication::focusWidget(), window.widget_for(form.code_text));
}

// Every control a panel shows has a name, the colours are radio buttons named by colour, the
// board is a canvas that describes the puzzle, and the status line is read out only when
// more than its clock changes.
TEST_F(QtWindowTest, AScreenReaderHearsANameForEveryControl) {
  for (Control* c : form.controls()) {
    if (c->kind() == ControlKind::picture_box) continue;
    if (c->kind() == ControlKind::label && static_cast<Label*>(c)->caption().empty()) continue;
    c->show();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(window.widget_for(*c));
    ASSERT_NE(a, nullptr) << c->name();
    EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << c->name();
    if (c->kind() == ControlKind::option_button) EXPECT_EQ(a->role(), QAccessible::RadioButton) << c->name();
  }
  EXPECT_EQ(QAccessible::queryAccessibleInterface(window.widget_for(form.Option16))->text(QAccessible::Name),
            "Blue, colour 1");
  const auto& headings = form.best_table.columns();
  EXPECT_EQ(std::set<std::string>(headings.begin(), headings.end()).size(), headings.size());

  form.board.set_accessible_description("4 by 4 puzzle, 3 of 15 pieces home, gap at column 2 row 1");
  QAccessibleInterface* board = QAccessible::queryAccessibleInterface(canvas());
  EXPECT_EQ(board->role(), QAccessible::Canvas);
  EXPECT_EQ(board->text(QAccessible::Name), "Puzzle");
  EXPECT_EQ(board->text(QAccessible::Description), "4 by 4 puzzle, 3 of 15 pieces home, gap at column 2 row 1");
  QAccessibleInterface* status = QAccessible::queryAccessibleInterface(window.status_label());
  form.status_line.set_text("Moves 1 \u00b7 0:01", "Moves 1");
  form.status_line.set_text("Moves 1 \u00b7 0:02", "Moves 1");
  EXPECT_EQ(status->text(QAccessible::Name), "Moves 1 \u00b7 0:01") << "the clock alone is not read out";
  form.status_line.set_text("Moves 2 \u00b7 0:03", "Moves 2");
  EXPECT_EQ(status->text(QAccessible::Name), "Moves 2 \u00b7 0:03");
}

// F10 opens the first menu; one Escape closes it and the next key is the game's.
TEST_F(QtWindowTest, OneEscapeClosesAMenuAndTheNextKeyIsTheGames) {
  std::vector<int> keys;
  form.on_key_down = [&](int key, int) { keys.push_back(key); };
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  canvas()->setFocus();
  QTest::keyClick(canvas(), Qt::Key_F10);
  QWidget* menu = QApplication::activePopupWidget();
  ASSERT_NE(menu, nullptr);
  QTest::keyClick(menu, Qt::Key_Escape);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
  EXPECT_EQ(keys, std::vector<int>{kKeyLeft});
}

}  // namespace
}  // namespace jumblix
