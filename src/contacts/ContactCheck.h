#pragma once

#include "contacts/Contact.h"

#include <QString>

#include <optional>
#include <vector>

// A contact read from a file, with where it came from and, when it cannot be imported at all,
// why.
struct ImportedContact
{
    Contact contact;
    QString origin;  // the file's name and the contact's place in it
    QString refusal; // empty: it can be imported
};

// A value that the database would not hold as it is.
struct FitProblem
{
    ContactField field;
    QString description; // for the person: which column, and what does not fit
};

// Values longer than their column, and characters the database cannot store.
std::vector<FitProblem> fitProblems(const Contact& contact);
// The contact with every value made to fit: cut to its column, unstorable characters left out.
Contact cutToFit(const Contact& contact);

// A contact the database holds, by its key.
struct StoredContact
{
    qint64 code = 0;
    Contact contact;
};

// The stored contact that the imported one looks like: the same name without regard to case
// and accents, the same e-mail without regard to case, or the same mobile number however
// written. Its index in stored, or nothing.
std::optional<std::size_t> findDuplicate(const Contact& imported,
                                         const std::vector<StoredContact>& stored);

// The stored contact with its empty values taken from the imported one.
Contact filledFrom(const Contact& stored, const Contact& imported);
