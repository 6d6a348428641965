#include "regcontent.h"

#include <algorithm>
#include <string_view>

namespace platform {

namespace {

int compareBytes(QByteArrayView a, QByteArrayView b)
{
    return std::string_view(a.data(), size_t(a.size())).compare(std::string_view(b.data(), size_t(b.size())));
}

} // namespace

const RegFileContent::Key *RegFileContent::findKey(RegRoot root, QByteArrayView path) const
{
    const auto it = std::lower_bound(m_keys.begin(), m_keys.end(), path, [&](const Key &key, QByteArrayView wanted) {
        if (key.root != quint32(root))
            return key.root < quint32(root);
        return compareBytes(text(key.path, key.pathLength), wanted) < 0;
    });
    return it == m_keys.end() ? nullptr : &*it;
}

bool RegFileContent::declaresKey(RegRoot root, const QString &foldedPath) const
{
    const QByteArray path = foldedPath.toUtf8();
    const Key *key = findKey(root, path);
    return key && key->root == quint32(root) && text(key->path, key->pathLength) == path;
}

bool RegFileContent::hasKey(RegRoot root, const QString &foldedPath) const
{
    if (foldedPath.isEmpty() || declaresKey(root, foldedPath))
        return true;
    // Keys below this one sort together, right after "path\".
    const QByteArray prefix = foldedPath.toUtf8() + '\\';
    const Key *key = findKey(root, prefix);
    return key && key->root == quint32(root) && text(key->path, key->pathLength).startsWith(prefix);
}

bool RegFileContent::findValue(RegRoot root, const QString &foldedPath, const QString &foldedName,
                               QString *value) const
{
    const QByteArray path = foldedPath.toUtf8();
    const Key *key = findKey(root, path);
    if (!key || key->root != quint32(root) || text(key->path, key->pathLength) != path)
        return false;
    const QByteArray name = foldedName.toUtf8();
    const auto first = m_values.begin() + key->firstValue, last = first + key->valueCount;
    const auto it = std::lower_bound(first, last, name, [&](const Value &v, QByteArrayView wanted) {
        return compareBytes(text(v.name, v.nameLength), wanted) < 0;
    });
    if (it == last || text(it->name, it->nameLength) != name)
        return false;
    *value = QString::fromUtf8(text(it->text, it->textLength));
    return true;
}

RegContentBuilder::RegContentBuilder(RegFileContent &content, qint64 expectedBytes)
    : m_content(content)
{
    // What a file holds can only be a part of it; keys and values need a
    // line each.
    const auto bytes = size_t(qBound<qint64>(0, expectedBytes, qint64(1) << 32));
    m_content.m_arena.reserve(qsizetype(bytes));
    m_declared.reserve(bytes / 32);
    m_values.reserve(bytes / 32);
}

quint32 RegContentBuilder::store(const QString &text, quint32 *length)
{
    const auto offset = quint32(m_content.m_arena.size());
    const QByteArray utf8 = text.toUtf8();
    m_content.m_arena.append(utf8);
    *length = quint32(utf8.size());
    return offset;
}

void RegContentBuilder::beginKey(RegRoot root, const QString &foldedPath)
{
    RegFileContent::Key key {};
    quint32 length = 0;
    key.path = store(foldedPath, &length);
    key.pathLength = length;
    key.root = quint32(root);
    key.firstValue = quint32(m_values.size());
    m_declared.push_back(key);
}

void RegContentBuilder::addValue(const QString &foldedName, const QString &text)
{
    RegFileContent::Value value {};
    value.name = store(foldedName, &value.nameLength);
    value.text = store(text, &value.textLength);
    m_values.push_back(value);
    ++m_declared.back().valueCount;
}

void RegContentBuilder::finish()
{
    RegFileContent &c = m_content;
    using Key = RegFileContent::Key;
    using Value = RegFileContent::Value;
    const auto keyLess = [&c](const Key &a, const Key &b) {
        if (a.root != b.root)
            return a.root < b.root;
        return compareBytes(c.text(a.path, a.pathLength), c.text(b.path, b.pathLength)) < 0;
    };
    const auto nameLess = [&c](const Value &a, const Value &b) {
        return compareBytes(c.text(a.name, a.nameLength), c.text(b.name, b.nameLength)) < 0;
    };
    // Stable: a key declared twice keeps its declarations in file order.
    std::stable_sort(m_declared.begin(), m_declared.end(), keyLess);

    c.m_keys.reserve(m_declared.size());
    c.m_values.reserve(m_values.size());
    for (size_t i = 0; i < m_declared.size();) {
        size_t end = i + 1;
        while (end < m_declared.size() && !keyLess(m_declared[i], m_declared[end]))
            ++end;
        Key key = m_declared[i];
        key.firstValue = quint32(c.m_values.size());
        for (size_t d = i; d < end; ++d) {
            const auto first = m_values.begin() + m_declared[d].firstValue;
            c.m_values.insert(c.m_values.end(), first, first + m_declared[d].valueCount);
        }
        const auto first = c.m_values.begin() + key.firstValue;
        std::stable_sort(first, c.m_values.end(), nameLess);
        // Of equal names the last one set counts.
        auto out = first;
        for (auto it = first; it != c.m_values.end(); ++it) {
            if (it + 1 != c.m_values.end() && !nameLess(*it, *(it + 1)))
                continue;
            *out++ = *it;
        }
        c.m_values.erase(out, c.m_values.end());
        key.valueCount = quint32(c.m_values.end() - first);
        c.m_keys.push_back(key);
        i = end;
    }
    m_declared = {};
    m_values = {};
    c.m_keys.shrink_to_fit();
    c.m_values.shrink_to_fit();
    c.m_arena.squeeze();
}

} // namespace platform
