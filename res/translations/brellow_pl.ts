<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>Brellow::Application</name>
    <message>
        <source>Cannot find server. Please check the Internet connection and try again.</source>
        <translation>Nie można znaleźć serwera. Sprawdź połączenie z Internetem i spróbuj ponownie.</translation>
    </message>
</context>
<context>
    <name>Brellow::MainWindow</name>
    <message>
        <source>Please check your username and password and try again.</source>
        <translation>Sprawdź nazwę użytkownika i hasło, a następnie spróbuj ponownie.</translation>
    </message>
    <message>
        <source>The server does not answer. Please try again in a moment.</source>
        <translation>Serwer nie odpowiada. Spróbuj ponownie za chwilę.</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Zakończ</translation>
    </message>
    <message>
        <source>Please enter your username and password and try again.</source>
        <translation>Wpisz nazwę użytkownika i hasło, a następnie spróbuj ponownie.</translation>
    </message>
</context>
<context>
    <name>Brellow::PageTexts</name>
    <message>
        <source>Username...</source>
        <translation>Nazwa użytkownika...</translation>
    </message>
    <message>
        <source>Password...</source>
        <translation>Hasło...</translation>
    </message>
    <message>
        <source>Surveys Transferred</source>
        <translation>Przekazane ankiety</translation>
    </message>
    <message>
        <source>Average Score</source>
        <extracomment>The agent&apos;s average survey score, in per cent.</extracomment>
        <translation>Średnia ocena</translation>
    </message>
    <message>
        <source>Team Position</source>
        <extracomment>The agent&apos;s place in the team&apos;s ranking.</extracomment>
        <translation>Miejsce w zespole</translation>
    </message>
    <message>
        <source>Total Team Surveys</source>
        <translation>Ankiety zespołu łącznie</translation>
    </message>
    <message>
        <source>Latest Calls</source>
        <translation>Ostatnie połączenia</translation>
    </message>
    <message>
        <source>No transfer reason...</source>
        <extracomment>The reason why a call was not transferred to the survey.</extracomment>
        <translation>Powód braku przekazania...</translation>
    </message>
    <message>
        <source>Add</source>
        <extracomment>Button: sends the no-transfer reason.</extracomment>
        <translation>Dodaj</translation>
    </message>
    <message>
        <source>Account Details</source>
        <extracomment>The customer&apos;s account, filled in during a call.</extracomment>
        <translation>Dane konta</translation>
    </message>
    <message>
        <source>Account Ref...</source>
        <extracomment>The customer&apos;s account reference.</extracomment>
        <translation>Nr konta...</translation>
    </message>
    <message>
        <source>This option is not available in the current version</source>
        <translation>Ta opcja jest niedostępna w bieżącej wersji</translation>
    </message>
    <message>
        <source>Lookup</source>
        <extracomment>Button: looks the account reference up.</extracomment>
        <translation>Wyszukaj</translation>
    </message>
    <message>
        <source>CLI...</source>
        <extracomment>The caller&apos;s telephone number (calling line identity).</extracomment>
        <translation>Numer dzwoniącego...</translation>
    </message>
    <message>
        <source>Email...</source>
        <translation>E-mail...</translation>
    </message>
    <message>
        <source>Survey</source>
        <extracomment>Button: transfers the caller to the survey.</extracomment>
        <translation>Ankieta</translation>
    </message>
    <message>
        <source>Title...</source>
        <extracomment>The customer&apos;s form of address (Mr, Mrs); the field is very narrow.</extracomment>
        <translation>Tytuł...</translation>
    </message>
    <message>
        <source>First Name...</source>
        <translation>Imię...</translation>
    </message>
    <message>
        <source>Last Name...</source>
        <translation>Nazwisko...</translation>
    </message>
    <message>
        <source>Login</source>
        <extracomment>Button: logs the agent in.</extracomment>
        <translation>Zaloguj</translation>
    </message>
    <message>
        <source>Logout</source>
        <extracomment>Button: logs the agent out.</extracomment>
        <translation>Wyloguj</translation>
    </message>
    <message>
        <source>Logging in</source>
        <extracomment>The login button while the server has not yet answered.</extracomment>
        <translation>Logowanie</translation>
    </message>
    <message>
        <source>Email</source>
        <extracomment>Small button in the header: shows the customer&apos;s account details.</extracomment>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>Main</source>
        <extracomment>Small button in the header: back from the account details to the main view.</extracomment>
        <translation>Główny</translation>
    </message>
    <message>
        <source>Call Reason...</source>
        <extracomment>First entry of the list of call reasons, chosen when none applies.</extracomment>
        <translation>Powód połączenia...</translation>
    </message>
    <message>
        <source>Your message has been sent...</source>
        <extracomment>Shown for a moment in the no-transfer field once the server has it.</extracomment>
        <translation>Wiadomość została wysłana...</translation>
    </message>
    <message>
        <source>Survey has been sent</source>
        <translation>Ankieta została wysłana</translation>
    </message>
    <message>
        <source>Connection to the server lost</source>
        <extracomment>Header notice: the server has stopped answering.</extracomment>
        <translation>Utracono połączenie z serwerem</translation>
    </message>
    <message>
        <source>Reconnecting…</source>
        <extracomment>Header notice: Brellow is logging the agent in again by itself.</extracomment>
        <translation>Ponowne łączenie…</translation>
    </message>
</context>
</TS>
