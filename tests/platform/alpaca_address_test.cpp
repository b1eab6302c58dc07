#include "platform/telescope/alpaca_address.h"
#include "platform/telescope/alpaca_telescope.h"
#include "platform/telescope/telescope_registry.h"

#include <gtest/gtest.h>

TEST(AlpacaAddress, IdentifiersRoundTrip) {
    for (const AlpacaAddress& address :
         {AlpacaAddress{"192.168.1.89", 11111, 0}, AlpacaAddress{"mount.local", 32323, 7},
          AlpacaAddress{"::1", 80, 123456789}}) {
        const QString identifier = alpacaIdentifier(address);
        EXPECT_EQ(parseAlpacaIdentifier(identifier), address) << identifier.toStdString();
    }
    EXPECT_EQ(alpacaIdentifier({"192.168.1.89", 11111, 2}),
              "alpaca://192.168.1.89:11111/telescope/2");
    EXPECT_EQ(alpacaIdentifier({"::1", 80, 0}), "alpaca://[::1]:80/telescope/0");
    // Host names do not depend on letter case and come back in lower case.
    EXPECT_EQ(parseAlpacaIdentifier("alpaca://Mount.LOCAL:1/telescope/3"),
              (AlpacaAddress{"mount.local", 1, 3}));
}

TEST(AlpacaAddress, RejectsOtherTexts) {
    for (const char* text :
         {"", "alpaca://", "alpaca://host/telescope/0", "alpaca://host:0/telescope/0",
          "alpaca://host:65536/telescope/0", "alpaca://:11111/telescope/0",
          "http://host:11111/telescope/0", "alpaca:host:11111/telescope/0",
          "alpaca://host:11111/camera/0", "alpaca://host:11111/telescope/",
          "alpaca://host:11111/telescope/-1", "alpaca://host:11111/telescope/01",
          "alpaca://host:11111/telescope/x", "alpaca://host:11111/telescope/0/connected",
          "alpaca://host:11111/telescope/1234567890", "alpaca://host:11111/telescope/0?a=1",
          "alpaca://host:11111/telescope/0#x", "alpaca://user@host:11111/telescope/0",
          "alpaca://ho st:11111/telescope/0"})
        EXPECT_EQ(parseAlpacaIdentifier(text), std::nullopt) << text;
}

TEST(AlpacaTelescope, RegistryCreatesDriversWithoutContactingTheDevice) {
    TelescopeRegistry registry;
    registerAlpacaTelescopes(registry);
    // Port 1 on the loopback interface has no server: creating must not try to reach it.
    const auto driver = registry.create("alpaca://127.0.0.1:1/telescope/4");
    const auto* alpaca = dynamic_cast<const AlpacaTelescope*>(driver.get());
    ASSERT_NE(alpaca, nullptr);
    EXPECT_EQ(alpaca->address(), (AlpacaAddress{"127.0.0.1", 1, 4}));
    try {
        registry.create("alpaca://127.0.0.1/telescope/4");
        FAIL() << "a bad identifier made a driver";
    } catch (const TelescopeError& error) {
        EXPECT_NE(std::string(error.what()).find("alpaca://127.0.0.1/telescope/4"),
                  std::string::npos);
    }
}

TEST(AlpacaTelescope, SetupOpensTheDevicesPageAndReportsFailure) {
    QList<QUrl> opened;
    bool opens = true;
    AlpacaTelescope telescope({"10.0.0.5", 11111, 2}, {}, [&](const QUrl& url) {
        opened.append(url);
        return opens;
    });
    telescope.SetupDialog();
    EXPECT_EQ(opened, QList<QUrl>{QUrl("http://10.0.0.5:11111/setup/v1/telescope/2/setup")});
    opens = false;
    EXPECT_THROW(telescope.SetupDialog(), TelescopeError);
}
