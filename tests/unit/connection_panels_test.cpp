// The address panel and the port-number pad: what they show, what they
// store, and that the connection follows what was stored.
#include "tests/unit/network_fixture.h"

namespace pondex {
namespace {

using ConnectionPanelsTest = NetworkFixture;

TEST_F(ConnectionPanelsTest, TheAddressPanelShowsAndStoresTheAddressAndCancelStoresNothing) {
  start(kNetwork + "EthIp=host.example\r\nEthPort=5000\r\n");
  form.userEditedText(c.addressPartBoxes[0], "10");
  form.userClick(c.addressLabel);
  EXPECT_EQ(form.container(c.addressEditor), c.connectionSection);
  EXPECT_EQ(form.caption(c.addressPartBoxes[0]), "10") << "a name is not split into the boxes";
  EXPECT_EQ(form.caption(c.addressPortBox), "5000");
  form.gotFocus(c.addressPortBox);
  EXPECT_EQ(form.selLength(c.addressPortBox), 4u) << "a box's text is selected when it takes the focus";

  enterAddress({"10", "0", "0", "7"}, "4001");
  EXPECT_EQ(fake.setting("EthIp"), "10.0.0.7");
  EXPECT_EQ(fake.setting("EthPort"), "4001");
  EXPECT_EQ(form.caption(c.addressValue), "10.0.0.7");
  EXPECT_EQ(form.container(c.addressEditor), c.parkingHolder);

  const auto writes = fake.profiles.writes.size();
  form.userClick(c.addressLabel);
  EXPECT_EQ(form.caption(c.addressPartBoxes[3]), "7");
  form.userEditedText(c.addressPortBox, "9");
  form.userClick(c.addressCancelButton);
  EXPECT_EQ(fake.profiles.writes.size(), writes);
  EXPECT_EQ(form.container(c.addressEditor), c.parkingHolder);
}

TEST_F(ConnectionPanelsTest, ARefusedAddressIsSaidInThePanelAndStoresNothing) {
  start();
  const auto writes = fake.profiles.writes.size();
  for (const auto& [parts, port] : {std::pair<std::array<const char*, 4>, const char*>{{"10", "0", "", "7"}, "4001"},
                                    {{"10", "0", "0", "300"}, "4001"},
                                    {{"10", "0", "0", "7"}, "70000"}}) {
    enterAddress(parts, port);
    EXPECT_EQ(form.container(c.addressEditor), c.connectionSection) << "the panel stays open to be corrected";
    EXPECT_TRUE(form.visible(c.addressError));
  }
  EXPECT_NE(form.caption(c.addressError).find("65535"), std::string::npos) << "the line names what is allowed";
  EXPECT_EQ(fake.profiles.writes.size(), writes);
  EXPECT_EQ(form.caption(c.addressValue), "127.0.0.1");
  connect();  // still to the stored address
  form.userClick(c.addressCancelButton);
  EXPECT_FALSE(form.visible(c.addressError));
}

TEST_F(ConnectionPanelsTest, ThePortPadSelectsNetworkModeOnlyWithANumberThatIsZero) {
  start("SYGNA\xA3 ZEWNETRZNY=1\r\n");
  fake.serial.addPort("COM1");
  form.userClick(c.portNumberLabel);
  form.userClick(c.ethernetButton);
  EXPECT_EQ(form.container(c.addressEditor), c.connectionSection);
  form.userClick(c.portApplyButton);  // display left empty: the number stays
  EXPECT_EQ(fake.setting("NR PORTU"), "1");
  form.userClick(c.portNumberLabel);
  form.userClick(c.portDigitButtons[0]);
  form.userClick(c.portApplyButton);
  EXPECT_EQ(fake.setting("NR PORTU"), "0");
  connect();
}

}  // namespace
}  // namespace pondex
