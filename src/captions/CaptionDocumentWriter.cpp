#include "CaptionDocumentWriter.h"

#include "CaptionAttributes.h"
#include "CaptionDocumentFormat.h"
#include "EmbeddedFile.h"
#include "StoredForm.h"
#include "XmlDocument.h"

#include <string>

using namespace Qt::Literals::StringLiterals;
namespace Format = CaptionDocumentFormat;

namespace {

// The column language and document language the display writes: fixed texts.
constexpr QStringView WrittenColumnLanguage = u"OutputColumnDetails[count].Language";
constexpr QStringView WrittenDocumentLanguage = u"OutputDevices[0].Language";

std::string columnAttribute(const char* prefix, int column) {
    return prefix + std::to_string(column);
}

} // namespace

bool AddAttributesToNode(pugi::xml_node node, const char* attribute, QStringView value) {
    if (attribute == nullptr || *attribute == '\0' || value.isEmpty())
        return false;
    setAttributeText(node, attribute, value);
    return true;
}

QString CaptionDataToNode(pugi::xml_node node, const TCaptions& caption, FileFilter filterFiles,
                          QStringList* notEmbedded) {
    const auto writeAttributes = [&](CaptionAttributes::Element element, pugi::xml_node on) {
        for (const CaptionAttributes::Attribute& attribute : CaptionAttributes::Table) {
            if (attribute.element == element)
                AddAttributesToNode(on, attribute.name, CaptionAttributes::fieldOf(caption, attribute));
        }
    };
    writeAttributes(CaptionAttributes::Element::Caption, node);

    const pugi::xml_node captions = findOrAppendChild(node, Format::CaptionsElement);
    const QString storedLanguage = MemoStringToStoredString(WrittenColumnLanguage);
    // Columns often repeat the one before (a Stagetext caption fills all ten alike): a repeated
    // text is stored, and its file looked for, once. An embedded picture is carried once, in the
    // first column that names it, and the columns repeating it are blank: ten copies of a large
    // picture would not fit a caption document, and the display shows the first column of the
    // documents it writes (their language names never match).
    const QString* previousText = nullptr;
    QString stream;
    for (int column = 0; column < CaptionColumnCount; ++column) {
        const QString& text = caption.Caption[column].Text;
        const bool repeated = previousText && text == *previousText;
        if (!repeated) {
            stream = MemoStringToStoredString(text);
            if (filterFiles == FileFilter::EmbedNamedFiles) {
                FileEmbedding embedding = EmbedNamedFile(stream);
                if (embedding.status == FileEmbedding::Status::ReadFailed)
                    return embedding.value;
                if (embedding.status == FileEmbedding::Status::Embedded)
                    stream = std::move(embedding.value);
                else if (notEmbedded && !embedding.value.isEmpty())
                    notEmbedded->append(embedding.value);
            }
            previousText = &text;
        }
        const bool repeatsPicture = repeated && stream.startsWith(Format::ImagePrefix);
        AddAttributesToNode(captions, columnAttribute(Format::StreamPrefix, column).c_str(),
                            repeatsPicture ? QStringView(u" ") : QStringView(stream));
        AddAttributesToNode(captions, columnAttribute(Format::StrNamePrefix, column).c_str(), storedLanguage);
    }

    for (const CaptionAttributes::Element element : CaptionAttributes::ChildElements)
        writeAttributes(element, findOrAppendChild(node, CaptionAttributes::elementName(element)));
    return {};
}

CaptionDocumentText CaptiontoXML(const TCaptions& caption) {
    XmlDocument document;
    pugi::xml_node root = document.createDocumentElement(Format::RootElement);
    pugi::xml_node cue = root.append_child(Format::CueElement);
    QStringList notEmbedded;
    if (QString failure = CaptionDataToNode(cue, caption, FileFilter::EmbedNamedFiles, &notEmbedded);
        !failure.isEmpty())
        return {QString(), failure, {}};

    const pugi::xml_node language = cue.append_child(Format::LanguageElement);
    AddAttributesToNode(language, Format::LanguageNameAttribute, WrittenDocumentLanguage);
    return {document.text(), QString(), notEmbedded};
}
