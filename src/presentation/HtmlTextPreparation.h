#pragma once

#include "TextBackend.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// Turns the lines of caption markup into the one text the HTML label renderer lays out: character
// references resolved, line breaks made tags, and the rule by which its ampersands are drawn.

struct PreparedHtml {
    QString text;
    Mnemonics mnemonics = Mnemonics::Underline; // how "&" is drawn in every run of the text
};

// Joins the lines directly where one ends with a tag and the next begins with one, else with a space.
QString joinHtmlLines(const QStringList& lines);

PreparedHtml prepareHtmlText(const QString& text);

// Resolves the references that stay in the text until a run of it is measured: "&nbsp;", "&lt;" and
// "&gt;", which must not split words or open tags before then.
QString decodeRunReferences(QStringView run);
