#include "FuzzTarget.h"

#include <cstdio>
#include <cstdlib>

namespace vqfuzz {

namespace {

std::map<std::string, Target> &table()
{
    static std::map<std::string, Target> t;
    return t;
}

} // namespace

bool registerTarget(const char *name, Target target)
{
    table()[name] = target;
    return true;
}

const std::map<std::string, Target> &targets()
{
    return table();
}

void fail(const char *rule, const QString &input)
{
    std::fprintf(stderr, "fuzz rule broken: %s\ninput: \"%s\"\n", rule, input.toUtf8().constData());
    std::abort();
}

uint8_t Input::byte()
{
    return m_pos < m_size ? m_data[m_pos++] : 0;
}

QString Input::text()
{
    size_t end = m_pos;
    while (end < m_size && m_data[end] != 0)
        ++end;
    const QString t =
        QString::fromUtf8(reinterpret_cast<const char *>(m_data + m_pos), qsizetype(end - m_pos));
    m_pos = end < m_size ? end + 1 : end;
    return t;
}

QString Input::rest()
{
    const QString t =
        QString::fromUtf8(reinterpret_cast<const char *>(m_data + m_pos), qsizetype(m_size - m_pos));
    m_pos = m_size;
    return t;
}

} // namespace vqfuzz
