#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <random>

class DbfTable;

// Generates realistic, reproducible book records for benchmarks, screenshots
// and load tests: titles and names from word lists (some accented), publishers,
// prices, empty dates now and then.
class BookGenerator
{
public:
    struct Book
    {
        QString title, author, publisher, category, wherePurchased, isbn, rating, bookType, location, condition,
            keyWords, checkedOut;
        std::optional<double> year, cost, value, pages;
        QDate bought;
    };

    explicit BookGenerator(unsigned seed = 1997) : m_random(seed) {}

    Book next();

    // Appends `count` generated books to an open catalog table in one bulk
    // update; about one in a hundred is deleted again when `withDeleted` is set.
    void appendTo(DbfTable &table, int count, bool withDeleted);

    // Writes the fields of a book into the table's edit buffer (append or edit).
    static void store(DbfTable &table, const Book &book);

private:
    int pick(int size) { return int(m_random() % unsigned(size)); }
    std::mt19937 m_random;
};
