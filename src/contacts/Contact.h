#pragma once

#include <QDate>
#include <QString>

#include <array>
#include <cstddef>

// The text columns of a contact, in the order the program writes them to its own files.
enum class ContactField
{
    Nome,
    Endereco,
    Bairro,
    Cidade,
    Uf,
    Cep,
    Telefone,
    Fax,
    Celular,
    Email,
    Web,
    Msn,
    Skype,
    Obs,
};
inline constexpr std::size_t kContactFieldCount = 14;

// A text column of TB_AGENDA: its name and the characters it holds (0: a text blob).
struct ContactColumn
{
    ContactField field;
    const char* name;
    int size;
};
const std::array<ContactColumn, kContactFieldCount>& contactColumns();
const ContactColumn& contactColumn(ContactField field);
// The column that holds the birth date.
inline constexpr const char* kBirthDateColumn = "AGE_DATANASC";

// One contact as a file brings it or the database holds it; an empty text is no value.
struct Contact
{
    std::array<QString, kContactFieldCount> texts;
    QDate birthDate; // null: none

    QString& operator[](ContactField field) { return texts[std::size_t(field)]; }
    const QString& operator[](ContactField field) const { return texts[std::size_t(field)]; }
    bool operator==(const Contact&) const = default;
};

// The two-letter code of a Brazilian state written as its code or its name, with or without
// accents ("Paraná", "parana", "pr"); anything else is returned as it is.
QString stateCode(const QString& text);
// Eight digits, however punctuated, in the form 99.999-999; anything else as it is.
QString postalCodeText(const QString& text);
// A text compared without regard to case or accents.
QString foldedForComparison(const QString& text);
// A birth date as files write it: 1980-05-17, 19800517, 1980-05-17T..., 17/05/1980. A date
// without its year ("--0517") is no date the column can hold.
QDate birthDateFrom(const QString& text);
