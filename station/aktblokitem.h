#ifndef AKTBLOKITEM_H
#define AKTBLOKITEM_H

#include <QByteArray>
#include <QObject>

// One planned block of a transfer: where it starts in the logger's memory
// and how many bytes it should carry. Owned by the form's block list.
class AKTBlokItem : public QObject
{
    Q_OBJECT

public:
    explicit AKTBlokItem(QObject *parent = nullptr);

    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

    int page() const { return m_page; }
    void setPage(int page) { m_page = page; }

    int offset() const { return m_offset; }
    void setOffset(int offset) { m_offset = offset; }

    // Kept empty: the transfer collects payloads elsewhere.
    QByteArray data() const { return m_data; }
    void setData(const QByteArray &data) { m_data = data; }

    int size() const { return m_size; }
    void setSize(int size) { m_size = size; }

private:
    int m_index = 0;
    int m_page = 0;
    int m_offset = 0;
    QByteArray m_data;
    int m_size = 0;
};

#endif // AKTBLOKITEM_H
