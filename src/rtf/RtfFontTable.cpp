#include "RtfFontTable.h"

RtfFontTable::RtfFontTable(const char *codePage) : m_decoder(codePage) {}

RtfFontTable::~RtfFontTable() = default;

void RtfFontTable::clear()
{
    m_fonts.clear();
    m_entry = -1;
    m_name.clear();
    m_hint = QFont::AnyStyle;
}

void RtfFontTable::beginEntry(int number)
{
    finishEntry();
    m_entry = number;
}

void RtfFontTable::setHint(QFont::StyleHint hint)
{
    m_hint = hint;
}

void RtfFontTable::appendNameByte(char byte)
{
    if (m_entry >= 0 && m_name.size() < kMaxNameBytes)
        m_name.append(byte);
}

void RtfFontTable::finishEntry()
{
    if (m_entry >= 0) {
        // One decoder for all names: making one per name costs more than reading the name.
        const QString family = QString(m_decoder.decode(m_name)).trimmed();
        m_decoder.resetState(); // a name cut after a lead byte must not reach into the next
        if (!family.isEmpty())
            m_fonts.insert(m_entry, Font{family, m_hint});
    }
    m_entry = -1;
    m_name.clear();
    m_hint = QFont::AnyStyle;
}

const RtfFontTable::Font *RtfFontTable::find(int number) const
{
    const auto font = m_fonts.constFind(number);
    return font == m_fonts.constEnd() ? nullptr : &*font;
}
