#include "net/AllowedPeers.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct ListCase {
    const char* list;
    std::optional<const char*> badEntry; // nothing: the list is read
    const char* description;
};

class AllowedPeersParseTest : public testing::TestWithParam<ListCase> {};

TEST_P(AllowedPeersParseTest, ReadsTheListOrNamesTheBadEntry) {
    const ListCase& c = GetParam();
    const AllowedPeers::Parsed parsed = AllowedPeers::parse(QString::fromUtf8(c.list));
    if (c.badEntry) {
        ASSERT_FALSE(parsed.ok());
        EXPECT_EQ(*parsed.badEntry, QString::fromUtf8(*c.badEntry));
        EXPECT_TRUE(parsed.peers.allowsEveryone()) << "a refused list keeps nothing of its good entries";
    } else {
        ASSERT_TRUE(parsed.ok()) << parsed.badEntry->toStdString();
        EXPECT_EQ(parsed.peers.description(), QString::fromUtf8(c.description));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, AllowedPeersParseTest,
    testing::Values(ListCase{"", std::nullopt, "everyone"}, ListCase{"  \t ", std::nullopt, "everyone"},
                    ListCase{"10.0.0.5", std::nullopt, "10.0.0.5/32"},
                    ListCase{"192.168.10.0/24,10.0.0.5,fd00::/8", std::nullopt,
                             "192.168.10.0/24, 10.0.0.5/32, fd00::/8"},
                    ListCase{" 192.168.10.0/24 ,\t10.0.0.5 ", std::nullopt, "192.168.10.0/24, 10.0.0.5/32"},
                    // Host bits under the prefix name the same range.
                    ListCase{"192.168.10.77/24", std::nullopt, "192.168.10.0/24"},
                    ListCase{"10.0.0.0/255.0.0.0", std::nullopt, "10.0.0.0/8"},
                    ListCase{"0.0.0.0/0", std::nullopt, "0.0.0.0/0"}, ListCase{"::1", std::nullopt, "::1/128"},
                    ListCase{"::ffff:10.0.0.5", std::nullopt, "10.0.0.5/32"}, ListCase{"10.0.0.256", "10.0.0.256", ""},
                    ListCase{"10.0.0.5,frontdesk", "frontdesk", ""}, ListCase{"10/8", "10/8", ""},
                    ListCase{"10.1", "10.1", ""}, ListCase{"010.0.0.1", "010.0.0.1", ""},
                    ListCase{"10.0.0.0/33", "10.0.0.0/33", ""}, ListCase{"fd00::/129", "fd00::/129", ""},
                    ListCase{"10.0.0.0/", "10.0.0.0/", ""}, ListCase{"10.0.0.0/-1", "10.0.0.0/-1", ""},
                    ListCase{"10.0.0.0/8x", "10.0.0.0/8x", ""}, ListCase{"10.0.0.5,,10.0.0.6", "", ""},
                    ListCase{"10.0.0.5,", "", ""}, ListCase{"10.0.0.5 10.0.0.6", "10.0.0.5 10.0.0.6", ""},
                    ListCase{"*", "*", ""}, ListCase{"fe80::1%eth0", "fe80::1%eth0", ""}));

struct PeerCase {
    const char* peer;
    bool allowed;
};

class AllowedPeersMatchTest : public testing::TestWithParam<PeerCase> {};

TEST_P(AllowedPeersMatchTest, ServesOnlyPeersInTheList) {
    const AllowedPeers peers = AllowedPeers::parse(u"192.168.10.0/24, 10.0.0.5, fd00::/8"_s).peers;
    const PeerCase& c = GetParam();
    EXPECT_EQ(peers.allows(QHostAddress(QString::fromUtf8(c.peer))), c.allowed) << c.peer;
}

INSTANTIATE_TEST_SUITE_P(Peers, AllowedPeersMatchTest,
                         testing::Values(PeerCase{"192.168.10.1", true}, PeerCase{"192.168.10.255", true},
                                         PeerCase{"192.168.11.1", false}, PeerCase{"10.0.0.5", true},
                                         PeerCase{"10.0.0.6", false}, PeerCase{"fd00::1", true},
                                         PeerCase{"fd12:3456::7", true}, PeerCase{"fe80::1", false},
                                         // An IPv4 controller reaching a port that listens on both families.
                                         PeerCase{"::ffff:192.168.10.9", true}, PeerCase{"::ffff:10.0.0.6", false},
                                         PeerCase{"127.0.0.1", false}, PeerCase{"::1", false}));

TEST(AllowedPeersTest, EveryoneIsServedWithoutAList) {
    const AllowedPeers everyone;
    for (const char* peer : {"10.0.0.1", "::1", "::ffff:1.2.3.4"})
        EXPECT_TRUE(everyone.allows(QHostAddress(QString::fromUtf8(peer))));
}

TEST(AllowedPeersTest, AnIpv4RangeDoesNotServeIpv6Peers) {
    const AllowedPeers anyIpv4 = AllowedPeers::parse(u"0.0.0.0/0"_s).peers;
    EXPECT_TRUE(anyIpv4.allows(QHostAddress(u"203.0.113.9"_s)));
    EXPECT_FALSE(anyIpv4.allows(QHostAddress(u"2001:db8::9"_s)));
}

} // namespace
