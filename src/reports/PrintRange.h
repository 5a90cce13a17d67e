#pragma once

#include <QString>

// The pages of a print range as the user typed them, from 1 to the page count.
struct PrintRange
{
    enum class Refusal { None, Start, End };

    int first = 0;
    int last = 0;
    Refusal refused = Refusal::None;
    QString message; // why it was refused

    static PrintRange read(const QString &start, const QString &end, int pageCount);
};
