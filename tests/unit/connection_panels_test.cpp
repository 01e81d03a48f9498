// The address panel and the port-number pad: what they show, what they
// store, and that the connection follows what was stored.
#include "tests/unit/network_fixture.h"

namespace pondex {
namespace {

using ConnectionPanelsTest = NetworkFixture;

TEST_F(ConnectionPanelsTest, TheAddressPanelShowsAndStoresTheAddressAndCancelStoresNothing) {
  start(kNetwork + "EthIp=host.example\r\nEthPort=5000\r\n");
  form.userEditedText(c.txtIp[0], "10");
  form.userClick(c.Label4);
  EXPECT_EQ(form.container(c.picEth), c.picPoloczenie);
  EXPECT_EQ(form.caption(c.txtIp[0]), "10") << "a name is not split into the boxes";
  EXPECT_EQ(form.caption(c.txtPort), "5000");
  form.gotFocus(c.txtPort);
  EXPECT_EQ(form.selLength(c.txtPort), 4u) << "a box's text is selected when it takes the focus";

  enterAddress({"10", "0", "0", "7"}, "4001");
  EXPECT_EQ(fake.setting("EthIp"), "10.0.0.7");
  EXPECT_EQ(fake.setting("EthPort"), "4001");
  EXPECT_EQ(form.caption(c.lblEthIp), "10.0.0.7");
  EXPECT_EQ(form.container(c.picEth), c.Smietnik);

  const auto writes = fake.profiles.writes.size();
  form.userClick(c.Label4);
  EXPECT_EQ(form.caption(c.txtIp[3]), "7");
  form.userEditedText(c.txtPort, "9");
  form.userClick(c.cmdNoIp);
  EXPECT_EQ(fake.profiles.writes.size(), writes);
  EXPECT_EQ(form.container(c.picEth), c.Smietnik);
}

TEST_F(ConnectionPanelsTest, ARefusedAddressIsSaidInThePanelAndStoresNothing) {
  start();
  const auto writes = fake.profiles.writes.size();
  for (const auto& [parts, port] : {std::pair<std::array<const char*, 4>, const char*>{{"10", "0", "", "7"}, "4001"},
                                    {{"10", "0", "0", "300"}, "4001"},
                                    {{"10", "0", "0", "7"}, "70000"}}) {
    enterAddress(parts, port);
    EXPECT_EQ(form.container(c.picEth), c.picPoloczenie) << "the panel stays open to be corrected";
    EXPECT_TRUE(form.visible(c.lblEthBlad));
  }
  EXPECT_NE(form.caption(c.lblEthBlad).find("65535"), std::string::npos) << "the line names what is allowed";
  EXPECT_EQ(fake.profiles.writes.size(), writes);
  EXPECT_EQ(form.caption(c.lblEthIp), "127.0.0.1");
  connect();  // still to the stored address
  form.userClick(c.cmdNoIp);
  EXPECT_FALSE(form.visible(c.lblEthBlad));
}

TEST_F(ConnectionPanelsTest, ThePortPadSelectsNetworkModeOnlyWithANumberThatIsZero) {
  start("SYGNA\xA3 ZEWNETRZNY=1\r\n");
  fake.serial.addPort("COM1");
  form.userClick(c.LblNrPortuCap);
  form.userClick(c.CmdEthernet);
  EXPECT_EQ(form.container(c.picEth), c.picPoloczenie);
  form.userClick(c.cmdOkNrPortu);  // display left empty: the number stays
  EXPECT_EQ(fake.setting("NR PORTU"), "1");
  form.userClick(c.LblNrPortuCap);
  form.userClick(c.ButtonXP1[0]);
  form.userClick(c.cmdOkNrPortu);
  EXPECT_EQ(fake.setting("NR PORTU"), "0");
  connect();
}

}  // namespace
}  // namespace pondex
