<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Brellow::Application</name>
    <message>
        <source>Cannot find server. Please check the Internet connection and try again.</source>
        <translation>Der Server ist nicht erreichbar. Bitte prüfen Sie die Internetverbindung und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>Brellow::MainWindow</name>
    <message>
        <source>Please check your username and password and try again.</source>
        <translation>Bitte prüfen Sie Benutzername und Passwort und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The server does not answer. Please try again in a moment.</source>
        <translation>Der Server antwortet nicht. Bitte versuchen Sie es gleich noch einmal.</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Please enter your username and password and try again.</source>
        <translation>Bitte geben Sie Benutzername und Passwort ein und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>Brellow::PageTexts</name>
    <message>
        <source>Username...</source>
        <translation>Benutzername...</translation>
    </message>
    <message>
        <source>Password...</source>
        <translation>Passwort...</translation>
    </message>
    <message>
        <source>Surveys Transferred</source>
        <translation>Weitergeleitete Umfragen</translation>
    </message>
    <message>
        <source>Average Score</source>
        <extracomment>The agent&apos;s average survey score, in per cent.</extracomment>
        <translation>Durchschnittsbewertung</translation>
    </message>
    <message>
        <source>Team Position</source>
        <extracomment>The agent&apos;s place in the team&apos;s ranking.</extracomment>
        <translation>Platz im Team</translation>
    </message>
    <message>
        <source>Total Team Surveys</source>
        <translation>Team-Umfragen gesamt</translation>
    </message>
    <message>
        <source>Latest Calls</source>
        <translation>Letzte Anrufe</translation>
    </message>
    <message>
        <source>No transfer reason...</source>
        <extracomment>The reason why a call was not transferred to the survey.</extracomment>
        <translation>Grund für keine Weiterleitung...</translation>
    </message>
    <message>
        <source>Add</source>
        <extracomment>Button: sends the no-transfer reason.</extracomment>
        <translation>Eintragen</translation>
    </message>
    <message>
        <source>Account Details</source>
        <extracomment>The customer&apos;s account, filled in during a call.</extracomment>
        <translation>Kontodaten</translation>
    </message>
    <message>
        <source>Account Ref...</source>
        <extracomment>The customer&apos;s account reference.</extracomment>
        <translation>Kundennummer...</translation>
    </message>
    <message>
        <source>This option is not available in the current version</source>
        <translation>Diese Funktion ist in der aktuellen Version nicht verfügbar</translation>
    </message>
    <message>
        <source>Lookup</source>
        <extracomment>Button: looks the account reference up.</extracomment>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>CLI...</source>
        <extracomment>The caller&apos;s telephone number (calling line identity).</extracomment>
        <translation>Rufnummer...</translation>
    </message>
    <message>
        <source>Email...</source>
        <translation>E-Mail...</translation>
    </message>
    <message>
        <source>Survey</source>
        <extracomment>Button: transfers the caller to the survey.</extracomment>
        <translation>Umfrage</translation>
    </message>
    <message>
        <source>Title...</source>
        <extracomment>The customer&apos;s form of address (Mr, Mrs); the field is very narrow.</extracomment>
        <translation>Anrede...</translation>
    </message>
    <message>
        <source>First Name...</source>
        <translation>Vorname...</translation>
    </message>
    <message>
        <source>Last Name...</source>
        <translation>Nachname...</translation>
    </message>
    <message>
        <source>Login</source>
        <extracomment>Button: logs the agent in.</extracomment>
        <translation>Anmelden</translation>
    </message>
    <message>
        <source>Logout</source>
        <extracomment>Button: logs the agent out.</extracomment>
        <translation>Abmelden</translation>
    </message>
    <message>
        <source>Logging in</source>
        <extracomment>The login button while the server has not yet answered.</extracomment>
        <translation>Melde an…</translation>
    </message>
    <message>
        <source>Email</source>
        <extracomment>Small button in the header: shows the customer&apos;s account details.</extracomment>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>Main</source>
        <extracomment>Small button in the header: back from the account details to the main view.</extracomment>
        <translation>Übersicht</translation>
    </message>
    <message>
        <source>Call Reason...</source>
        <extracomment>First entry of the list of call reasons, chosen when none applies.</extracomment>
        <translation>Anrufgrund...</translation>
    </message>
    <message>
        <source>Your message has been sent...</source>
        <extracomment>Shown for a moment in the no-transfer field once the server has it.</extracomment>
        <translation>Ihre Nachricht wurde gesendet...</translation>
    </message>
    <message>
        <source>Survey has been sent</source>
        <translation>Umfrage wurde gesendet</translation>
    </message>
    <message>
        <source>Connection to the server lost</source>
        <extracomment>Header notice: the server has stopped answering.</extracomment>
        <translation>Verbindung zum Server unterbrochen</translation>
    </message>
    <message>
        <source>Reconnecting…</source>
        <extracomment>Header notice: Brellow is logging the agent in again by itself.</extracomment>
        <translation>Erneute Verbindung…</translation>
    </message>
</context>
</TS>
