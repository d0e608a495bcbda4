#include "app/StartOptions.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

CommandLine commandLine(std::initializer_list<const char*> switches) {
    QStringList parameters{u"veltrinox-lcd"_s};
    for (const char* parameter : switches)
        parameters.append(QString::fromUtf8(parameter));
    return CommandLine(parameters);
}

struct InstanceCase {
    std::initializer_list<const char*> switches;
    const char* name;
    bool refused;
};

TEST(ReadInstanceNameTest, TakesLettersDigitsDashesAndUnderscores) {
    const InstanceCase cases[] = {
        {{}, "", false},
        {{"/instance", "left"}, "left", false},
        {{"/INSTANCE", "Foyer-2_b"}, "Foyer-2_b", false},
        {{"/instance", "a b"}, "", true},
        {{"/instance", "../right"}, "", true},
        {{"/instance", "links.conf"}, "", true},
        {{"/instance", "Bühne"}, "", true},
        {{"/instance"}, "", true},
        {{"-instance", "left"}, "", true}, // found, but a "-" switch gives no value
        {{"/instance", "x123456789x123456789x123456789x123456789x123456789x123456789x123"}, "", false},
        {{"/instance", "x123456789x123456789x123456789x123456789x123456789x123456789x1234"}, "", true},
    };
    for (const InstanceCase& c : cases) {
        const InstanceNameRead read = ReadInstanceName(commandLine(c.switches));
        EXPECT_EQ(bool(read.error), c.refused) << (c.switches.size() > 1 ? c.switches.begin()[1] : "");
        if (read.error) {
            EXPECT_FALSE(read.error->contains(u'\n'));
            EXPECT_TRUE(read.error->startsWith(u"/instance"_s));
        } else if (*c.name) {
            EXPECT_EQ(read.name, QString::fromUtf8(c.name));
        }
    }
}

struct ListenCase {
    std::initializer_list<const char*> switches;
    StoredNetwork stored;
    const char* listensOn; // as the log says it; nullptr when refused
    const char* allowed;
    const char* errorNames = "";
};

TEST(ReadListenOptionsTest, SwitchesWinOverTheStoreAndBadValuesAreNamed) {
    const StoredNetwork defaults = StoredNetwork::of(StoreDefaults);
    StoredNetwork stored = defaults;
    stored.listenAddress = u"192.168.10.5"_s;
    stored.allowedControllers = u"192.168.10.0/24"_s;
    StoredNetwork badStored = defaults;
    badStored.allowedControllers = u"10.0.0.5,frontdesk"_s;
    const ListenCase cases[] = {
        {{}, defaults, "every IPv4 address", "everyone"},
        {{}, stored, "192.168.10.5", "192.168.10.0/24"},
        {{"/bind", "10.0.0.2", "/allow", "10.0.0.5"}, stored, "10.0.0.2", "10.0.0.5/32"},
        {{"/bind", "fd00::2"}, defaults, "fd00::2", "everyone"},
        // An empty switch value is the default, whatever the store holds.
        {{"/bind", "", "/allow", ""}, stored, "every IPv4 address", "everyone"},
        {{"/bind", "10.0.0"}, defaults, nullptr, nullptr, "/bind \"10.0.0\""},
        {{"/bind", "display.local"}, defaults, nullptr, nullptr, "/bind \"display.local\""},
        {{"/allow", "10.0.0.5,,10.0.0.6"}, defaults, nullptr, nullptr, "/allow: an empty entry"},
        {{"/allow", "10.0.0.5, 10.0.0.0/40"}, defaults, nullptr, nullptr, "/allow: \"10.0.0.0/40\""},
        {{}, badStored, nullptr, nullptr, "stored \"Allowed Controllers\": \"frontdesk\""},
        {{"/allow", "10.0.0.0/8"}, badStored, "every IPv4 address", "10.0.0.0/8"},
    };
    for (const ListenCase& c : cases) {
        const ListenOptionsRead read = ReadListenOptions(commandLine(c.switches), c.stored);
        const std::string label = c.errorNames;
        if (!c.listensOn) {
            ASSERT_TRUE(read.error) << label;
            EXPECT_TRUE(read.error->startsWith(QString::fromUtf8(c.errorNames))) << read.error->toStdString();
            EXPECT_FALSE(read.error->contains(u'\n'));
            continue;
        }
        ASSERT_FALSE(read.error) << read.error->toStdString();
        EXPECT_EQ(read.options.listenDescription(), QString::fromUtf8(c.listensOn));
        EXPECT_EQ(read.options.allowedPeers.description(), QString::fromUtf8(c.allowed));
    }
}

} // namespace
