#include "controls/drawn_button.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/access_key.h"
#include "tests/fakes/fake_event_loop.h"
#include "tests/fakes/memory_canvas.h"

namespace pondex::controls {
namespace {

using fakes::MemoryCanvas;

constexpr int kW = 60, kH = 40;
constexpr int kR = kW - 1, kB = kH - 1;  // border column and row
constexpr Color kBorder = rgb(0, 60, 116), kCornerInner = rgb(37, 87, 131);

struct Px {
  int x, y;
  Color color;
};
Px at(int x, int y, Color color) {
  return {x, y, color};
}

// The fixture is the button's window.
class DrawnButtonTest : public ::testing::Test, public DrawnButton::Host {
 protected:
  DrawnButtonTest() {
    button.resize(kW, kH);
    button.setCaption(L"OK");
    button.setForeColor(rgb(1, 2, 3));
    button.setForeHover(rgb(4, 5, 6));
    auto log = [this](const char* what) { return [this, what](auto...) { events.push_back(what); }; };
    button.events = {log("Click"),   log("MouseDown"), log("MouseMove"),  log("MouseUp"),   log("KeyPress"),
                     log("KeyDown"), log("KeyUp"),     log("MouseEnter"), log("MouseLeave")};
  }

  MemoryCanvas picture() const {
    MemoryCanvas canvas(kW, kH);
    button.paint(canvas);
    return canvas;
  }
  // The current picture is whole (no pixel left unpainted), has the given
  // pixels and writes the caption in the given colour.
  void expectPicture(const char* state, const std::vector<Px>& pixels, Color caption) const {
    const MemoryCanvas c = picture();
    for (const Px& p : pixels) EXPECT_EQ(c.at(p.x, p.y), p.color) << state << " at " << p.x << "," << p.y;
    for (int y = 0; y < kH; ++y) {
      for (int x = 1; x < kR; ++x) ASSERT_NE(c.at(x, y), MemoryCanvas::kUnpainted) << state << " " << x << "," << y;
    }
    ASSERT_EQ(c.texts().size(), 1u) << state;
    EXPECT_EQ(c.texts()[0].text, button.caption()) << state;
    EXPECT_EQ(c.texts()[0].color, caption) << state;
  }
  int count(const std::string& event) const {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
  }
  void pictureChanged() override {}
  void refresh() override {}
  bool cursorOverButton() override { return cursorOver; }
  void moveFocus(bool forward) override { focusMoves.push_back(forward); }
  void setRegion(const CutCornerRegion& region) override { regions.push_back(region); }

  void hoverIn() {
    cursorOver = true;
    button.mouseMove(0, 0, 10, 10);
  }
  void leftClick(int x = 10) {
    button.mouseDown(MouseButton::Left, 0, x, 10);
    button.mouseUp(MouseButton::Left, 0, x, 10);
  }

  bool cursorOver = false;
  std::vector<bool> focusMoves;
  std::vector<CutCornerRegion> regions;
  fakes::FakeEventLoop loop;
  DrawnButton button{*this, loop};
  std::vector<std::string> events;
};

// Pixel (5,1) differs in every picture; the others catch a gradient, ring or
// border drawn wrong, only in part, or under the face.
TEST_F(DrawnButtonTest, EachStateShowsItsOwnPicture) {
  EXPECT_EQ(picture().texts().at(0).box, (PixelRect{0, kH / 2 - 6, kW, kH}));  // one 13-pixel line, centred
  expectPicture("normal",
                {at(kW / 2, 0, kBorder), at(kR, kH / 2, kBorder), at(1, 0, rgb(122, 149, 168)),
                 at(kR - 1, kB - 1, kCornerInner), at(5, 1, rgb(255, 255, 253)), at(kR - 1, 4, rgb(254, 254, 252)),
                 // darkening stops once blue fell below 230
                 at(5, 27, rgb(231, 231, 229)), at(5, 28, rgb(231, 231, 229)), at(5, kH - 3, rgb(214, 208, 197))},
                rgb(1, 2, 3));
  button.focusChanged(true);
  expectPicture("focus",
                {at(5, 1, rgb(206, 231, 251)), at(2, 30, rgb(167, 192, 227)), at(3, 30, rgb(231, 231, 229)),
                 at(5, kB - 2, rgb(97, 125, 229)), at(1, 1, kCornerInner)},
                rgb(1, 2, 3));
  hoverIn();  // wins over the focus ring
  expectPicture("hover",
                {at(5, 1, rgb(255, 240, 207)), at(kR - 1, 4, rgb(253, 222, 153)), at(5, kB - 1, rgb(229, 151, 0)),
                 at(kW / 2, kB, kBorder)},
                rgb(4, 5, 6));
  button.mouseDown(MouseButton::Left, 0, 5, 5);
  expectPicture("pressed",
                {at(5, 1, rgb(209, 204, 192)), at(kW / 2, kH / 2, rgb(225, 224, 217)),
                 at(5, kB - 1, rgb(242, 241, 238)), at(1, 1, kCornerInner)},
                rgb(4, 5, 6));
  button.setEnabled(false);
  expectPicture("disabled",
                {at(5, 1, rgb(245, 244, 234)), at(kW / 2, 0, rgb(201, 199, 186)), at(1, 1, rgb(234, 233, 222))},
                rgb(161, 161, 146));
  button.setCaption(L"Wyczyść wszystko");  // two lines at 60 pixels
  EXPECT_EQ(picture().texts().at(0).box.top, kH / 2 - 13);
}

// A new region on every redraw would repaint for ever.
TEST_F(DrawnButtonTest, OnlyANewSizeGivesANewShape) {
  button.focusChanged(true);
  hoverIn();
  button.mouseDown(MouseButton::Left, 0, 5, 5);
  button.setEnabled(false);
  button.setCaption(L"Wyczyść wszystko");
  EXPECT_EQ(regions, (std::vector<CutCornerRegion>{{kW, kH}}));
  button.resize(30, 20);
  EXPECT_EQ(regions, (std::vector<CutCornerRegion>{{kW, kH}, {30, 20}}));
}

TEST_F(DrawnButtonTest, HoverEndsOnTheTimerTickAfterTheCursorLeftWithOneLeaveEvent) {
  hoverIn();
  EXPECT_EQ(button.look().ring, ButtonLook::Ring::Hover);
  button.mouseMove(0, 0, 11, 10);
  loop.runFor(Millis{200});  // still over: the ticks change nothing
  EXPECT_EQ(count("MouseLeave"), 0);

  cursorOver = false;
  button.mouseMove(0, 0, 70, 10);
  loop.runFor(Millis{500});
  EXPECT_EQ(count("MouseLeave"), 1);
  EXPECT_EQ(button.look().ring, ButtonLook::Ring::None);

  hoverIn();  // and it can begin again
  EXPECT_EQ(count("MouseEnter"), 2);
}

TEST_F(DrawnButtonTest, TheMouseClicksOnlyWithALeftPressReleasedOverTheButton) {
  // A plain left click and a right one are clicked under Wine by tests/win/drawn_button_win32_test.cpp.
  button.mouseDown(MouseButton::Right, 0, 5, 5);
  EXPECT_EQ(button.look().face, ButtonLook::Face::Normal);
  button.mouseDown(MouseButton::Left, 0, 5, 5);
  button.mouseUp(MouseButton::Left, 0, kW + 3, 5);  // released off the button
  button.mouseUp(MouseButton::Left, 0, 5, 5);       // a stray release without a press
  EXPECT_EQ(count("Click"), 0);

  leftClick();  // a double click comes as down, up, double click, up: two clicks
  button.doubleClick(0, 10, 10);
  EXPECT_EQ(button.look().face, ButtonLook::Face::Pressed);
  button.mouseUp(MouseButton::Left, 0, 10, 10);
  EXPECT_EQ(count("Click"), 2);
  EXPECT_EQ(events.back(), "Click") << "after MouseUp";
  EXPECT_EQ(button.look().face, ButtonLook::Face::Normal);

  button.mouseDown(MouseButton::Left, 0, 5, 5);
  button.captureLost();
  EXPECT_EQ(button.look().face, ButtonLook::Face::Normal);
  button.mouseUp(MouseButton::Left, 0, 5, 5);
  EXPECT_EQ(count("Click"), 2);
}

TEST_F(DrawnButtonTest, SpaceOrEnterClicksOnItsOwnRelease) {
  button.mouseDown(MouseButton::Right, 0, 5, 5);  // the last press was not a left one
  button.keyDown(KeyCode::Space, 0);
  button.keyDown(KeyCode::Space, 0);  // auto-repeat
  EXPECT_EQ(button.look().face, ButtonLook::Face::Pressed);
  button.keyUp(KeyCode::Space, 0);
  button.keyUp(KeyCode::Space, 0);  // no second click without a second press
  EXPECT_EQ(count("Click"), 1);
  EXPECT_EQ(button.look().face, ButtonLook::Face::Normal);

  button.keyDown(KeyCode::Space, 0);
  button.keyUp(KeyCode::Enter, 0);
  EXPECT_EQ(count("Click"), 1);
  button.keyDown(KeyCode::Enter, 0);
  button.keyUp(KeyCode::Enter, 0);
  EXPECT_EQ(count("Click"), 2);

  button.keyDown(KeyCode::Space, 0);
  button.focusChanged(false);  // the release goes to another control
  button.focusChanged(true);
  button.keyUp(KeyCode::Space, 0);
  EXPECT_EQ(count("Click"), 2);
  EXPECT_TRUE(focusMoves.empty()) << "only the arrows move the focus";
}

TEST_F(DrawnButtonTest, TheArrowsMoveTheFocus) {
  for (KeyCode k : {KeyCode::Left, KeyCode::Right, KeyCode::Up, KeyCode::Down}) button.keyDown(k, 0);
  EXPECT_EQ(focusMoves, (std::vector<bool>{true, true, false, false}));
  EXPECT_EQ(count("Click"), 0);
}

TEST_F(DrawnButtonTest, KeysLeaveNoLeftPressBehindForADragAfterARightPress) {
  button.mouseDown(MouseButton::Right, 0, 5, 5);
  button.mouseUp(MouseButton::Right, 0, 5, 5);
  button.keyDown(KeyCode::Enter, 0);
  button.keyUp(KeyCode::Enter, 0);
  // A left press that began elsewhere, dragged over the button.
  cursorOver = true;
  button.mouseMove(static_cast<MouseButtons>(MouseButton::Left), 0, 10, 10);
  EXPECT_EQ(button.look().face, ButtonLook::Face::Normal);
  button.mouseUp(MouseButton::Left, 0, 10, 10);
  EXPECT_EQ(count("Click"), 1) << "only the key's";
}

TEST_F(DrawnButtonTest, AccessKeyIsTheLowerCasedCharacterAfterTheMarkingAmpersand) {
  EXPECT_EQ(accessKeyOf(L"&Łącz"), L'ł');
  EXPECT_EQ(accessKeyOf(L"Za&Ó"), L'ó');
  EXPECT_EQ(accessKeyOf(L"A&&B&c"), L'c');  // "&&" is a literal ampersand
  for (const wchar_t* none : {L"A&&B", L"START&", L"START"}) EXPECT_EQ(accessKeyOf(none), std::nullopt);

  button.mouseDown(MouseButton::Right, 0, 5, 5);  // the access key clicks whatever the last press was
  button.setCaption(L"&START");
  button.accessKeyPressed();
  EXPECT_EQ(count("Click"), 1);
}

TEST_F(DrawnButtonTest, ADisabledButtonIgnoresEveryInput) {
  button.mouseDown(MouseButton::Left, 0, 5, 5);
  button.setEnabled(false);
  hoverIn();
  button.mouseUp(MouseButton::Left, 0, 5, 5);
  button.keyDown(KeyCode::Space, 0);
  button.keyUp(KeyCode::Space, 0);
  EXPECT_EQ(events, (std::vector<std::string>{"MouseDown"}));
  EXPECT_FALSE(button.hoverActive());

  button.setEnabled(true);  // the press from before does not complete
  button.mouseUp(MouseButton::Left, 0, 5, 5);
  EXPECT_EQ(count("Click"), 0);
}

TEST_F(DrawnButtonTest, AClickHandlerMayDestroyTheButton) {
  auto doomed = std::make_unique<DrawnButton>(*this, loop);
  int keyUps = 0;
  doomed->events.click = [&] { doomed.reset(); };
  doomed->events.keyUp = [&](KeyCode, int) { ++keyUps; };
  doomed->keyDown(KeyCode::Enter, 0);
  doomed->keyUp(KeyCode::Enter, 0);
  EXPECT_EQ(doomed, nullptr);
  EXPECT_EQ(keyUps, 0);
}

}  // namespace
}  // namespace pondex::controls
