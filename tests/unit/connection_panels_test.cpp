// The address panel and the port-number pad: what they show, what they
// store, and that the connection follows what was stored.
#include "tests/unit/network_fixture.h"

namespace pondex {
namespace {

using ConnectionPanelsTest = NetworkFixture;

TEST_F(ConnectionPanelsTest, TheAddressPanelShowsTheStoredAddress) {
  start(kNetwork + "EthIp=host.example\r\nEthPort=5000\r\n");
  form.userEditedText(controls.addressPartBoxes[0], "10");
  form.userClick(controls.addressLabel);
  EXPECT_EQ(form.container(controls.addressEditor), controls.connectionSection);
  EXPECT_EQ(form.caption(controls.addressPartBoxes[0]), "10") << "a name is not split into the boxes";
  EXPECT_EQ(form.caption(controls.addressPortBox), "5000");
  form.gotFocus(controls.addressPortBox);
  EXPECT_EQ(form.selLength(controls.addressPortBox), 4u) << "a box's text is selected when it takes the focus";
}

TEST_F(ConnectionPanelsTest, TheAddressPanelStoresAnAddressThatPassesTheCheck) {
  start(kNetwork + "EthIp=host.example\r\nEthPort=5000\r\n");
  enterAddress({"10", "0", "0", "7"}, "4001");
  EXPECT_EQ(fake.setting("EthIp"), "10.0.0.7");
  EXPECT_EQ(fake.setting("EthPort"), "4001");
  EXPECT_EQ(form.caption(controls.addressValue), "10.0.0.7");
  EXPECT_EQ(form.container(controls.addressEditor), controls.parkingHolder);
}

TEST_F(ConnectionPanelsTest, CancelStoresNothing) {
  start(kNetwork + "EthIp=10.0.0.7\r\nEthPort=4001\r\n");
  const auto writes = fake.profiles.writes.size();
  form.userClick(controls.addressLabel);
  EXPECT_EQ(form.caption(controls.addressPartBoxes[3]), "7");
  form.userEditedText(controls.addressPortBox, "9");
  form.userClick(controls.addressCancelButton);
  EXPECT_EQ(fake.profiles.writes.size(), writes);
  EXPECT_EQ(form.container(controls.addressEditor), controls.parkingHolder);
}

// Each refusal (a part left empty, a part over 255, a port over 65535)
// keeps the panel open to be corrected and stores nothing.
TEST_F(ConnectionPanelsTest, AnAddressThatFailsTheCheckIsRefusedInThePanel) {
  start();
  const auto writes = fake.profiles.writes.size();
  const std::pair<std::array<const char*, 4>, const char*> refused[] = {
      {{"10", "0", "", "7"}, "4001"}, {{"10", "0", "0", "300"}, "4001"}, {{"10", "0", "0", "7"}, "70000"}};
  for (const auto& [parts, port] : refused) {
    enterAddress(parts, port);
    EXPECT_EQ(form.container(controls.addressEditor), controls.connectionSection);
    EXPECT_TRUE(form.visible(controls.addressError));
  }
  EXPECT_NE(form.caption(controls.addressError).find("65535"), std::string::npos) << "the line names what is allowed";
  form.userClick(controls.addressCancelButton);
  EXPECT_FALSE(form.visible(controls.addressError));
  EXPECT_EQ(fake.profiles.writes.size(), writes);
  EXPECT_EQ(form.caption(controls.addressValue), "127.0.0.1");
  connect();  // still to the stored address
}

TEST_F(ConnectionPanelsTest, ThePortPadSelectsNetworkModeOnlyWithANumberThatIsZero) {
  start("SYGNA\xA3 ZEWNETRZNY=1\r\n");
  fake.serial.addPort("COM1");
  form.userClick(controls.portNumberLabel);
  form.userClick(controls.ethernetButton);
  EXPECT_EQ(form.container(controls.addressEditor), controls.connectionSection);
  form.userClick(controls.portApplyButton);  // display left empty: the number stays
  EXPECT_EQ(fake.setting("NR PORTU"), "1");
  form.userClick(controls.portNumberLabel);
  form.userClick(controls.portDigitButtons[0]);
  form.userClick(controls.portApplyButton);
  EXPECT_EQ(fake.setting("NR PORTU"), "0");
  connect();
}

}  // namespace
}  // namespace pondex
