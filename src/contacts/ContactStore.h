#pragma once

#include "contacts/ContactCheck.h"

#include <vector>

class Connection;
class DataSet;
class Transaction;

// Every contact the database holds, for the duplicate check.
std::vector<StoredContact> readStoredContacts(Transaction& transaction);

// The contacts a data set holds now, every row fetched, in its order.
std::vector<Contact> contactsOf(DataSet& dataSet);

// What a confirmed import writes.
struct ContactWrites
{
    std::vector<Contact> additions;
    std::vector<StoredContact> updates; // stored contacts with their empty values filled
};

// Writes everything in one transaction of its own, new keys from GEN_AGENDA, committed once.
// On an error nothing stays written and the database's error reaches the caller.
void writeContacts(Connection& connection, const ContactWrites& writes);
