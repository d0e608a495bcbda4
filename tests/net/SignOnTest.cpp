#include "net/SignOn.h"

#include "support/QtPrinters.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(SignOnTextTest, IsOnePcDisplayElementAndALineEnd) {
    const SignOnValues values{u"10001"_s, u"1.0.0.0"_s, 960, 540, u"{0123ABCD-0000-1111-2222-333344445555}"_s};
    EXPECT_EQ(
        SignOnText({u"192.168.1.20"_s, u"ETHERNET"_s, u"Up"_s}, values),
        QByteArray("<PC_Display IP_Address=\"192.168.1.20\" Port=\"10001\" Type=\"PC Display\" Version=\"1.0.0.0\" "
                   "Width=\"960\" Height=\"540\" PC_ID=\"{0123ABCD-0000-1111-2222-333344445555}\"/>\r\n"));
}

TEST(SignOnTextTest, AnEmptyIdentifierIsWrittenEmpty) {
    const QByteArray text = SignOnText({u"10.0.0.2"_s, u"WIRELESS"_s, u"Up"_s}, {u"10000"_s, u"1.0.0.0"_s, 1, 2, {}});
    EXPECT_TRUE(text.contains("PC_ID=\"\"/>\r\n"));
}

TEST(QualifyingAdaptersTest, TakesUpWiredAndWirelessAdaptersWithAnAddress) {
    const QList<SignOnAdapter> adapters = {
        {u"192.168.1.20"_s, u"ETHERNET"_s, u"Up"_s},   {u"10.0.0.2"_s, u"WIRELESS"_s, u"Up"_s},
        {u"192.168.2.20"_s, u"ETHERNET"_s, u"Down"_s}, {QString(), u"ETHERNET"_s, u"Up"_s},
        {u"127.0.0.1"_s, u"LOOPBACK"_s, u"Up"_s},      {u"10.8.0.1"_s, u"OTHER"_s, u"Up"_s},
        {u"10.0.0.3"_s, u"wireless"_s, u"Up"_s},       {u"10.0.0.4"_s, u"WIRELESS"_s, u"up"_s},
    };
    EXPECT_EQ(QualifyingAdapters(adapters), adapters.first(2));
}

TEST(AdaptersHoldingTest, KeepsOnlyTheAdapterWithTheListenAddress) {
    const QList<SignOnAdapter> adapters = {
        {u"192.168.1.20"_s, u"ETHERNET"_s, u"Up"_s},
        {u"10.0.0.2"_s, u"WIRELESS"_s, u"Up"_s},
        {QString(), u"ETHERNET"_s, u"Up"_s},
    };
    EXPECT_EQ(AdaptersHolding(adapters, QHostAddress(u"10.0.0.2"_s)), adapters.sliced(1, 1));
    EXPECT_EQ(AdaptersHolding(adapters, QHostAddress(u"::ffff:192.168.1.20"_s)), adapters.first(1));
    EXPECT_TRUE(AdaptersHolding(adapters, QHostAddress(u"10.0.0.3"_s)).isEmpty());
    EXPECT_TRUE(AdaptersHolding(adapters, QHostAddress(u"fd00::5"_s)).isEmpty());
}

TEST(SystemSignOnAdaptersTest, LoopbackNeverQualifies) {
    for (const SignOnAdapter& adapter : QualifyingAdapters(SystemSignOnAdapters()))
        EXPECT_NE(adapter.address, u"127.0.0.1"_s);
}

TEST(MachinePcIdTest, IsABracedGuidThatStaysTheSame) {
    const QString id = MachinePcId();
    if (id.isEmpty())
        GTEST_SKIP() << "this machine has no machine id";
    static const QRegularExpression guid(u"^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"_s);
    EXPECT_EQ(id.size(), 38);
    EXPECT_TRUE(guid.match(id).hasMatch()) << id.toStdString();
    EXPECT_EQ(MachinePcId(), id);
}

} // namespace
