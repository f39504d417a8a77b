#include "ContactGenerator.h"

#include "db/Connection.h"
#include "db/DatabaseCreator.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <random>

namespace {

const QStringList kFirstNames = {
    "Ana",     "Maria",   "José",     "João",    "Antônio", "Francisco", "Carlos",   "Paulo",
    "Pedro",   "Lucas",   "Luiz",     "Marcos",  "Luís",    "Gabriel",   "Rafael",   "Daniel",
    "Marcelo", "Bruno",   "Eduardo",  "Felipe",  "Juliana", "Fernanda",  "Patrícia", "Aline",
    "Sandra",  "Camila",  "Amanda",   "Bruna",   "Jéssica", "Letícia",   "Júlia",    "Luciana",
    "Vanessa", "Mariana", "Gabriela", "Vitória", "Larissa", "Beatriz",   "Sílvia",   "Simone"};
const QStringList kSurnames = {
    "Silva",   "Santos",     "Oliveira",   "Souza",     "Rodrigues", "Ferreira", "Alves",
    "Pereira", "Lima",       "Gomes",      "Costa",     "Ribeiro",   "Martins",  "Carvalho",
    "Almeida", "Lopes",      "Soares",     "Fernandes", "Vieira",    "Barbosa",  "Rocha",
    "Dias",    "Nascimento", "Andrade",    "Moreira",   "Nunes",     "Marques",  "Machado",
    "Mendes",  "Freitas",    "Cardoso",    "Ramos",     "Gonçalves", "Santana",  "Teixeira",
    "Araújo",  "Sílvio",     "Cavalcanti", "Pinto",     "Monteiro"};
const QList<std::pair<const char*, const char*>> kCities = {{"São Paulo", "SP"},
                                                            {"Rio de Janeiro", "RJ"},
                                                            {"Brasília", "DF"},
                                                            {"Salvador", "BA"},
                                                            {"Fortaleza", "CE"},
                                                            {"Belo Horizonte", "MG"},
                                                            {"Manaus", "AM"},
                                                            {"Curitiba", "PR"},
                                                            {"Recife", "PE"},
                                                            {"Goiânia", "GO"},
                                                            {"Belém", "PA"},
                                                            {"Porto Alegre", "RS"},
                                                            {"Guarulhos", "SP"},
                                                            {"Campinas", "SP"},
                                                            {"São Luís", "MA"},
                                                            {"São Gonçalo", "RJ"},
                                                            {"Maceió", "AL"},
                                                            {"Duque de Caxias", "RJ"},
                                                            {"Campo Grande", "MS"},
                                                            {"Natal", "RN"},
                                                            {"Teresina", "PI"},
                                                            {"São Bernardo do Campo", "SP"},
                                                            {"Nova Iguaçu", "RJ"},
                                                            {"João Pessoa", "PB"},
                                                            {"Santo André", "SP"},
                                                            {"Osasco", "SP"},
                                                            {"Jaboatão dos Guararapes", "PE"},
                                                            {"Ribeirão Preto", "SP"},
                                                            {"Uberlândia", "MG"},
                                                            {"Sorocaba", "SP"},
                                                            {"Contagem", "MG"},
                                                            {"Aracaju", "SE"},
                                                            {"Feira de Santana", "BA"},
                                                            {"Cuiabá", "MT"},
                                                            {"Joinville", "SC"},
                                                            {"Juiz de Fora", "MG"},
                                                            {"Londrina", "PR"},
                                                            {"Aparecida de Goiânia", "GO"},
                                                            {"Niterói", "RJ"},
                                                            {"Porto Velho", "RO"},
                                                            {"Florianópolis", "SC"},
                                                            {"Vitória", "ES"},
                                                            {"Macapá", "AP"}};
const QStringList kStreets = {
    "Rua das Flores",   "Avenida Brasil",  "Rua XV de Novembro", "Rua Sete de Setembro",
    "Avenida Paulista", "Rua da Paz",      "Rua Tiradentes",     "Avenida Getúlio Vargas",
    "Rua São José",     "Rua Dom Pedro II"};
const QStringList kDistricts = {"Centro",     "Jardim América", "Vila Nova",  "Boa Vista",
                                "Santa Cruz", "São José",       "Industrial", "Bela Vista"};
const QStringList kNotes = {"Cliente desde 2010", "Ligar à tarde", "Prefere contato por e-mail",
                            "Amigo da família", "Fornecedor de material de escritório"};

QString plainAscii(QString text)
{
    return text.normalized(QString::NormalizationForm_D)
        .remove(QRegularExpression(QStringLiteral("[^A-Za-z ]")))
        .toLower()
        .replace(u' ', u'.');
}

} // namespace

void generateContacts(const QString& path, int count)
{
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    createAgendaDatabase(partial);
    {
        Connection connection(partial);
        connection.open();
        Transaction transaction(connection);
        Statement insert(
            transaction,
            QStringLiteral("INSERT INTO TB_AGENDA (AGE_CODIGO, AGE_NOME, AGE_ENDERECO, "
                           "AGE_BAIRRO, AGE_CIDADE, AGE_UF, AGE_CEP, AGE_TELEFONE, AGE_CELULAR, "
                           "AGE_EMAIL, AGE_DATANASC, AGE_OBS) VALUES (:C, :N, :E, :B, :CI, :UF, "
                           ":CEP, :F, :M, :EM, :D, :O)"));
        std::mt19937 random(static_cast<unsigned>(count));
        const auto pick = [&random](const auto& list) {
            return list.at(static_cast<qsizetype>(random() % static_cast<unsigned>(list.size())));
        };
        const auto digits = [&random](int n) {
            QString text;
            for (int i = 0; i < n; ++i)
                text += QChar(char16_t(u'0' + random() % 10));
            return text;
        };
        for (int i = 1; i <= count; ++i) {
            const QString name =
                QStringLiteral("%1 %2 %3").arg(pick(kFirstNames), pick(kSurnames), pick(kSurnames));
            const auto& [city, state] = pick(kCities);
            const QString area = QString::number(11 + random() % 88);
            insert.setParameter(QStringLiteral("C"), i);
            insert.setParameter(QStringLiteral("N"), name.left(45));
            insert.setParameter(
                QStringLiteral("E"),
                QStringLiteral("%1, %2").arg(pick(kStreets)).arg(1 + random() % 3000));
            insert.setParameter(QStringLiteral("B"), pick(kDistricts));
            insert.setParameter(QStringLiteral("CI"), QString::fromUtf8(city));
            insert.setParameter(QStringLiteral("UF"), QString::fromLatin1(state));
            insert.setParameter(QStringLiteral("CEP"),
                                digits(2) + u'.' + digits(3) + u'-' + digits(3));
            insert.setParameter(QStringLiteral("F"),
                                QStringLiteral("(%1) %2-%3").arg(area, digits(4), digits(4)));
            insert.setParameter(QStringLiteral("M"),
                                QStringLiteral("(%1) 9%2-%3").arg(area, digits(4), digits(4)));
            insert.setParameter(QStringLiteral("EM"),
                                (plainAscii(name).left(30) + QStringLiteral("@exemplo.com.br")));
            insert.setParameter(
                QStringLiteral("D"),
                random() % 100 < 85
                    ? QVariant(QDate(1940, 1, 1).addDays(random() % 25000).startOfDay())
                    : QVariant());
            insert.setParameter(QStringLiteral("O"),
                                random() % 100 < 20 ? QVariant(pick(kNotes)) : QVariant());
            insert.execute();
            if (i % 5000 == 0)
                transaction.commitRetaining();
        }
        transaction.commit();
    }
    QFile::rename(partial, path);
}
