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

/*
 * SP_ANIVERSARIANTES lists every contact whose birthday falls within the period from
 * DATAINICIO to DATAFIM, both days included; the time of day of the bounds is ignored.
 *
 * A contact is listed when the first anniversary of its birth date on or after the first day
 * of the period falls on or before the last day. So a period that crosses the end of a year
 * (20/12 to 10/01) works, a period of a year or more lists everyone with a birth date, and a
 * period that ends before it begins lists nobody.
 *
 * Leap days: in a year without 29 February, a contact born on 29 February has its birthday
 * on 28 February, so it is listed when the period holds that 28 February.
 *
 * NULL bounds list nobody and raise no error. Every row has AGE_DATANASC set.
 */
SET TERM ^ ;

CREATE PROCEDURE SP_ANIVERSARIANTES (DATAINICIO DATE, DATAFIM DATE)
RETURNS (
    AGE_DATANASC DATE,
    AGE_NOME     VARCHAR(45),
    AGE_TELEFONE VARCHAR(45),
    AGE_ENDERECO VARCHAR(45),
    AGE_CIDADE   VARCHAR(45),
    AGE_UF       VARCHAR(2),
    AGE_CEP      VARCHAR(10)
)
AS
    DECLARE VARIABLE FIRST_DAY DATE;
    DECLARE VARIABLE LAST_DAY DATE;
    DECLARE VARIABLE BIRTH_MONTH INTEGER;
    DECLARE VARIABLE BIRTH_DAY INTEGER;
    DECLARE VARIABLE YEAR_OF INTEGER;
    DECLARE VARIABLE DAY_OF INTEGER;
    DECLARE VARIABLE ANNIVERSARY DATE;
BEGIN
    IF (DATAINICIO IS NULL OR DATAFIM IS NULL) THEN
        EXIT;

    /* Midnight of both bounds: a dialect-1 DATE carries a time of day. */
    FIRST_DAY = CAST(EXTRACT(DAY FROM DATAINICIO) || '.' || EXTRACT(MONTH FROM DATAINICIO)
                     || '.' || EXTRACT(YEAR FROM DATAINICIO) AS DATE);
    LAST_DAY = CAST(EXTRACT(DAY FROM DATAFIM) || '.' || EXTRACT(MONTH FROM DATAFIM)
                    || '.' || EXTRACT(YEAR FROM DATAFIM) AS DATE);
    IF (LAST_DAY < FIRST_DAY) THEN
        EXIT;

    FOR SELECT AGE_DATANASC, AGE_NOME, AGE_TELEFONE, AGE_ENDERECO, AGE_CIDADE, AGE_UF, AGE_CEP
        FROM TB_AGENDA
        WHERE AGE_DATANASC IS NOT NULL
        INTO :AGE_DATANASC, :AGE_NOME, :AGE_TELEFONE, :AGE_ENDERECO, :AGE_CIDADE, :AGE_UF,
             :AGE_CEP
    DO
    BEGIN
        BIRTH_MONTH = EXTRACT(MONTH FROM AGE_DATANASC);
        BIRTH_DAY = EXTRACT(DAY FROM AGE_DATANASC);
        YEAR_OF = EXTRACT(YEAR FROM FIRST_DAY);
        ANNIVERSARY = NULL;
        WHILE (ANNIVERSARY IS NULL) DO
        BEGIN
            DAY_OF = BIRTH_DAY;
            IF (BIRTH_MONTH = 2 AND BIRTH_DAY = 29 AND
                NOT (MOD(YEAR_OF, 4) = 0 AND (MOD(YEAR_OF, 100) <> 0 OR MOD(YEAR_OF, 400) = 0)))
            THEN
                DAY_OF = 28;
            ANNIVERSARY = CAST(DAY_OF || '.' || BIRTH_MONTH || '.' || YEAR_OF AS DATE);
            IF (ANNIVERSARY < FIRST_DAY) THEN
            BEGIN
                ANNIVERSARY = NULL;
                YEAR_OF = YEAR_OF + 1;
            END
        END
        IF (ANNIVERSARY <= LAST_DAY) THEN
            SUSPEND;
    END
END^

SET TERM ; ^

INSERT INTO TB_CONFIGURACOES (CFG_CODIGO, CFG_SKIN, CFG_STARTWINDOWS, CFG_STARTMINIMIZADO,
                              CFG_IDIOMA)
VALUES (1, 'Nenhum', 'N', 'N', 2);
