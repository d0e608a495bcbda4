#include "DisplayEvents.h"

#include "captions/CaptionDocumentFormat.h"
#include "net/ControlListener.h"
#include "net/FeedListener.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// A name from the document, which may be of any length, as far as the log quotes it.
QString quoted(const QString& name) {
    constexpr qsizetype Longest = PresentedDocument::TextStartLength;
    return u'"' + name.first(std::min(name.size(), Longest)) + (name.size() > Longest ? u"\"..."_s : u"\""_s);
}

QString describeText(const PresentedDocument& document) {
    if (document.textStart.startsWith(CaptionDocumentFormat::ImagePrefix))
        return u"picture of %1 characters"_s.arg(document.textCharacters);
    const bool cut = document.textCharacters > document.textStart.size();
    return u'"' + document.textStart + (cut ? u"\"..."_s : u"\""_s);
}

} // namespace

QString DescribeDocument(const PresentedDocument& document) {
    if (!document.parsed)
        return u"document of %1 characters does not parse: dropped"_s.arg(document.characters);
    QString text = u"document of %1 characters: cue %2, column %3 %4, effect %5"_s.arg(document.characters)
                       .arg(quoted(document.cue))
                       .arg(document.column)
                       .arg(quoted(document.language), quoted(document.entryEffect));
    if (!document.specialText.isEmpty())
        text += u", special "_s + document.specialText;
    return text + u", text "_s + describeText(document);
}

DisplayEvents::DisplayEvents(EventLog& log, QObject* parent) : QObject(parent), m_log(log) {
    m_clock.start();
}

void DisplayEvents::peerRefused(const QHostAddress& peer) {
    if (const std::optional<QString> warning = m_refusals.refused(peer, m_clock.elapsed()))
        write(LogCategory::Warning, *warning);
}

void DisplayEvents::watch(FeedListener& feed, ControlListener& control) {
    connect(&feed, &FeedListener::peerRefused, this, &DisplayEvents::peerRefused);
    connect(&control, &ControlListener::peerRefused, this, &DisplayEvents::peerRefused);
    connect(&feed, &FeedListener::connectionOpened, this,
            [this](const QString& peer) { write(LogCategory::Feed, u"connection from "_s + peer); });
    connect(&feed, &FeedListener::connectionClosed, this,
            [this](const QString& peer) { write(LogCategory::Feed, u"connection from "_s + peer + u" closed"_s); });
    connect(&feed, &FeedListener::unfinishedDocumentDropped, this, [this](const QString& peer, qsizetype characters) {
        write(LogCategory::Warning, u"the unfinished document of %1 characters from %2 was dropped: the feed's "
                                    u"buffers were full"_s.arg(characters)
                                        .arg(peer));
    });
    connect(&feed, &FeedListener::longDocumentDropped, this, [this](const QString& peer) {
        write(LogCategory::Warning, u"a document from %1 longer than %2 Mi characters was dropped"_s.arg(peer).arg(
                                        FeedFramer::MaxDocumentUnits >> 20));
    });
    connect(&control, &ControlListener::connectionOpened, this,
            [this](const QString& peer) { write(LogCategory::Control, u"connection from "_s + peer); });
    connect(&control, &ControlListener::connectionClosed, this,
            [this](const QString& peer) { write(LogCategory::Control, u"connection from "_s + peer + u" closed"_s); });
    connect(&control, &ControlListener::fileNotEmbedded, this,
            [this](const QString& reason) { write(LogCategory::Warning, u"file not embedded: "_s + reason); });
    connect(&control, &ControlListener::failureReported, this,
            [this](const QString& message) { write(LogCategory::Warning, message); });
}

void DisplayEvents::documentPresented(const PresentedDocument& document) {
    write(LogCategory::Caption, DescribeDocument(document));
}

void DisplayEvents::presentationWarning(const QString& message) {
    write(LogCategory::Warning, message);
}
