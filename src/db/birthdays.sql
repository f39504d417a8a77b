/*
 * Birthdays: an index on the day of the year of each birth date (month * 100 + day), and
 * SP_ANIVERSARIANTES, which reads through it. Run when a database is created, and on an older
 * database that lacks the index.
 *
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
 *
 * A period shorter than a year covers one range of birthdays (month * 100 + day), or two when
 * it crosses the end of a year; every birth date in them is listed as it is, except 29
 * February, whose anniversary depends on the year and is worked out.
 */
CREATE INDEX IX_TB_AGENDA_ANIVERSARIO ON TB_AGENDA
    COMPUTED BY (EXTRACT(MONTH FROM AGE_DATANASC) * 100 + EXTRACT(DAY FROM AGE_DATANASC));

SET TERM ^ ;

CREATE OR ALTER PROCEDURE SP_ANIVERSARIANTES (DATAINICIO DATE, DATAFIM DATE)
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
    DECLARE VARIABLE LOW1 INTEGER;
    DECLARE VARIABLE HIGH1 INTEGER;
    DECLARE VARIABLE LOW2 INTEGER;
    DECLARE VARIABLE HIGH2 INTEGER;
    DECLARE VARIABLE LEAP_KEY INTEGER;
    DECLARE VARIABLE BIRTHDAY INTEGER;
    DECLARE VARIABLE YEAR_OF INTEGER;
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

    LOW1 = EXTRACT(MONTH FROM FIRST_DAY) * 100 + EXTRACT(DAY FROM FIRST_DAY);
    HIGH1 = EXTRACT(MONTH FROM LAST_DAY) * 100 + EXTRACT(DAY FROM LAST_DAY);
    LOW2 = 1;
    HIGH2 = 0;
    IF (LAST_DAY - FIRST_DAY >= 365) THEN
    BEGIN
        /* A year or more: every birthday. */
        LOW1 = 0;
        HIGH1 = 9999;
    END
    ELSE IF (EXTRACT(YEAR FROM LAST_DAY) > EXTRACT(YEAR FROM FIRST_DAY)) THEN
    BEGIN
        /* From the first day to the end of its year, then from 1 January to the last day. */
        LOW2 = 101;
        HIGH2 = HIGH1;
        HIGH1 = 1231;
    END
    /* A birthday on 29 February may fall on 28 February. */
    LEAP_KEY = 0;
    IF ((228 BETWEEN LOW1 AND HIGH1) OR (228 BETWEEN LOW2 AND HIGH2)) THEN
        LEAP_KEY = 229;

    FOR SELECT AGE_DATANASC, AGE_NOME, AGE_TELEFONE, AGE_ENDERECO, AGE_CIDADE, AGE_UF, AGE_CEP,
               EXTRACT(MONTH FROM AGE_DATANASC) * 100 + EXTRACT(DAY FROM AGE_DATANASC)
        FROM TB_AGENDA
        WHERE EXTRACT(MONTH FROM AGE_DATANASC) * 100 + EXTRACT(DAY FROM AGE_DATANASC)
                  BETWEEN :LOW1 AND :HIGH1
           OR EXTRACT(MONTH FROM AGE_DATANASC) * 100 + EXTRACT(DAY FROM AGE_DATANASC)
                  BETWEEN :LOW2 AND :HIGH2
           OR EXTRACT(MONTH FROM AGE_DATANASC) * 100 + EXTRACT(DAY FROM AGE_DATANASC) = :LEAP_KEY
        INTO :AGE_DATANASC, :AGE_NOME, :AGE_TELEFONE, :AGE_ENDERECO, :AGE_CIDADE, :AGE_UF,
             :AGE_CEP, :BIRTHDAY
    DO
    BEGIN
        IF (BIRTHDAY <> 229 OR HIGH1 = 9999) THEN
            SUSPEND;
        ELSE
        BEGIN
            /* 29 February: its first anniversary on or after the first day. */
            YEAR_OF = EXTRACT(YEAR FROM FIRST_DAY);
            ANNIVERSARY = NULL;
            WHILE (ANNIVERSARY IS NULL) DO
            BEGIN
                IF (MOD(YEAR_OF, 4) = 0 AND (MOD(YEAR_OF, 100) <> 0 OR MOD(YEAR_OF, 400) = 0))
                THEN
                    ANNIVERSARY = CAST('29.2.' || YEAR_OF AS DATE);
                ELSE
                    ANNIVERSARY = CAST('28.2.' || YEAR_OF AS DATE);
                IF (ANNIVERSARY < FIRST_DAY) THEN
                BEGIN
                    ANNIVERSARY = NULL;
                    YEAR_OF = YEAR_OF + 1;
                END
            END
            IF (ANNIVERSARY <= LAST_DAY) THEN
                SUSPEND;
        END
    END
END^

SET TERM ; ^
