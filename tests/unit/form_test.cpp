#include "ui/form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/main_window.h"

namespace pondex::ui {
namespace {

Form smallForm() {
  Form f(ControlSpec{.name = "F"});
  f.add({.name = "box", .kind = ControlKind::Container});
  f.add({.name = "opt", .index = 0, .kind = ControlKind::OptionButton, .parent = "box", .value = 1});
  f.add({.name = "opt", .index = 1, .kind = ControlKind::OptionButton, .parent = "box"});
  f.add({.name = "other", .kind = ControlKind::OptionButton, .value = 1});
  f.add({.name = "check", .kind = ControlKind::CheckBox});
  f.add({.name = "label", .kind = ControlKind::Label});
  return f;
}

TEST(Form, ACheckBoxClicksOnceForEachChangeOfValue) {
  Form f = smallForm();
  const ControlId check = f.id("check");
  int clicks = 0;
  f.onClick(check, [&] { ++clicks; });
  f.setValue(check, 0);
  f.setValue(check, 2);
  f.setValue(check, 2);
  f.userClick(check);  // a grayed box becomes unchecked
  EXPECT_EQ(f.value(check), 0);
  f.userClick(check);
  EXPECT_EQ(f.value(check), 1);
  EXPECT_EQ(clicks, 3);
}

TEST(Form, AnOptionTurnedOnClearsItsGroupOnly) {
  Form f = smallForm();
  const ControlId o0 = f.id("opt", 0), o1 = f.id("opt", 1);
  std::vector<std::string> clicks;
  f.onClick(o0, [&] { clicks.push_back("o0"); });
  f.onClick(o1, [&] {
    EXPECT_FALSE(f.isOn(o0)) << "the group is already consistent when the handler runs";
    clicks.push_back("o1");
  });
  f.setValue(o1, 1);
  f.setValue(o1, 1);
  f.setValue(o1, 0);  // turning off raises nothing
  f.userClick(o0);
  f.userClick(o0);
  EXPECT_EQ(clicks, (std::vector<std::string>{"o1", "o0", "o0"}));
  EXPECT_FALSE(f.isOn(o1));
  EXPECT_TRUE(f.isOn(f.id("other"))) << "another container is another group";
}

TEST(Form, ContainersCannotFormACycle) {
  Form f = smallForm();
  EXPECT_THROW(f.setContainer(f.id("box"), f.id("opt", 0)), std::logic_error);
}

TEST(Form, AMissingNameIsAnError) {
  const Form f = smallForm();
  EXPECT_THROW((void)f.id("nothing"), std::logic_error);
}

// A panel left out of the hidden holder would show at start-up.
TEST(MainWindow, PanelsStartParked) {
  Form f = buildMainWindow();
  const MainControls c(f);
  for (ControlId panel : {c.connectionSection, c.transmissionSection, c.frameSection, c.eventsSection, c.fileSection,
                          c.addressEditor, c.keyPicker, c.portPad, c.speedSelector}) {
    EXPECT_EQ(f.container(panel), c.parkingHolder) << f.name(panel);
  }
}

TEST(MainWindow, NoTwoControlsOfOneContainerCoverEachOther) {
  // Twips scale alike at every DPI, so an overlap here is one on every screen.
  Form f = buildMainWindow();
  const MainControls c(f);
  for (ControlId container = 0; container < f.size(); ++container) {
    if (container == c.parkingHolder) continue;  // the parked panels lie on top of each other there
    const auto kids = f.children(container);
    for (std::size_t i = 0; i < kids.size(); ++i) {
      for (std::size_t j = i + 1; j < kids.size(); ++j) {
        const Rect& a = f.rect(kids[i]);
        const Rect& b = f.rect(kids[j]);
        if (a.width == 0 || b.width == 0) continue;  // no window: timers, menus, helpers
        const bool overlap = a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
                             b.top < a.top + a.height;
        EXPECT_FALSE(overlap) << f.qualifiedName(kids[i]) << " and " << f.qualifiedName(kids[j]);
      }
    }
  }
}

}  // namespace
}  // namespace pondex::ui
