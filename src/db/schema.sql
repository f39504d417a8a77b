/*
 * The agenda's database, SQL dialect 1, default character set WIN1252.
 *
 * Text columns are VARCHAR so values come back without trailing blanks, and they use the
 * collation WIN_PTBR: Upper() folds accented letters, comparisons ignore case and accents
 * ("JOSE" finds "José"), and ORDER BY gives Portuguese order.
 *
 * The client connects without naming a character set, so Windows-1252 bytes pass unchanged.
 * A dialect-1 DATE holds a date and a time of day; the program stores dates with a zero time.
 */

CREATE TABLE TB_AGENDA (
    AGE_CODIGO   INTEGER NOT NULL,
    AGE_NOME     VARCHAR(45) NOT NULL COLLATE WIN_PTBR,
    AGE_ENDERECO VARCHAR(45) COLLATE WIN_PTBR,
    AGE_BAIRRO   VARCHAR(20) COLLATE WIN_PTBR,
    AGE_CIDADE   VARCHAR(45) COLLATE WIN_PTBR,
    AGE_UF       VARCHAR(2) COLLATE WIN_PTBR,
    AGE_CEP      VARCHAR(10) COLLATE WIN_PTBR,
    AGE_TELEFONE VARCHAR(20) COLLATE WIN_PTBR,
    AGE_FAX      VARCHAR(20) COLLATE WIN_PTBR,
    AGE_CELULAR  VARCHAR(20) COLLATE WIN_PTBR,
    AGE_EMAIL    VARCHAR(45) COLLATE WIN_PTBR,
    AGE_WEB      VARCHAR(45) COLLATE WIN_PTBR,
    AGE_MSN      VARCHAR(45) COLLATE WIN_PTBR,
    AGE_SKYPE    VARCHAR(45) COLLATE WIN_PTBR,
    AGE_OBS      BLOB SUB_TYPE TEXT SEGMENT SIZE 80,
    AGE_DATANASC DATE,
    CONSTRAINT PK_TB_AGENDA PRIMARY KEY (AGE_CODIGO)
);

/* The contact list is read in name order; with this index its first rows come at once. */
CREATE INDEX IX_TB_AGENDA_NOME ON TB_AGENDA (AGE_NOME);

CREATE TABLE TB_LEMBRETES (
    LEM_CODIGO   INTEGER NOT NULL,
    LEM_MENSAGEM BLOB SUB_TYPE TEXT SEGMENT SIZE 80,
    LEM_DATA     DATE,
    LEM_HORA     VARCHAR(5) COLLATE WIN_PTBR,
    CONSTRAINT PK_TB_LEMBRETES PRIMARY KEY (LEM_CODIGO)
);

CREATE TABLE TB_CONFIGURACOES (
    CFG_CODIGO          INTEGER,
    CFG_SKIN            VARCHAR(10) COLLATE WIN_PTBR,
    CFG_STARTWINDOWS    VARCHAR(1) COLLATE WIN_PTBR,
    CFG_STARTMINIMIZADO VARCHAR(1) COLLATE WIN_PTBR,
    CFG_IDIOMA          INTEGER
);

CREATE GENERATOR GEN_AGENDA;
CREATE GENERATOR GEN_LEMBRETES;

/* SP_ANIVERSARIANTES and the index it reads by birthday are in birthdays.sql. */

INSERT INTO TB_CONFIGURACOES (CFG_CODIGO, CFG_SKIN, CFG_STARTWINDOWS, CFG_STARTMINIMIZADO,
                              CFG_IDIOMA)
VALUES (1, 'Nenhum', 'N', 'N', 2);
