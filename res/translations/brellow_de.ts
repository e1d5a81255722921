<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Brellow::AgentNotice</name>
    <message>
        <source>Call started</source>
        <extracomment>Screen reader and desktop notification: a caller is on the line.</extracomment>
        <translation>Anruf begonnen</translation>
    </message>
    <message>
        <source>Call completed</source>
        <extracomment>The call ended as completed (the page&apos;s tick).</extracomment>
        <translation>Anruf abgeschlossen</translation>
    </message>
    <message>
        <source>Call completed, score %1</source>
        <extracomment>The call ended as completed (the page&apos;s tick); %1 is its score as the server sends it.</extracomment>
        <translation>Anruf abgeschlossen, Bewertung %1</translation>
    </message>
    <message>
        <source>Call not completed</source>
        <extracomment>The call ended as not completed (the page&apos;s cross).</extracomment>
        <translation>Anruf nicht abgeschlossen</translation>
    </message>
    <message>
        <source>Call not completed, score %1</source>
        <extracomment>The call ended as not completed (the page&apos;s cross); %1 is its score, as sent.</extracomment>
        <translation>Anruf nicht abgeschlossen, Bewertung %1</translation>
    </message>
    <message>
        <source>Connection to the server lost</source>
        <translation>Verbindung zum Server unterbrochen</translation>
    </message>
    <message>
        <source>Connection to the server is back</source>
        <translation>Verbindung zum Server wiederhergestellt</translation>
    </message>
    <message>
        <source>The server ended your session</source>
        <translation>Der Server hat Ihre Sitzung beendet</translation>
    </message>
    <message>
        <source>Logged in again</source>
        <extracomment>Brellow has logged the agent in again by itself.</extracomment>
        <translation>Wieder angemeldet</translation>
    </message>
    <message>
        <source>Your figures are greyed until the server answers again.</source>
        <translation>Ihre Zahlen bleiben ausgegraut, bis der Server wieder antwortet.</translation>
    </message>
    <message>
        <source>Your figures are kept up to date again.</source>
        <translation>Ihre Zahlen werden wieder aktuell gehalten.</translation>
    </message>
    <message>
        <source>Brellow is logging you in again; there is nothing to type.</source>
        <translation>Brellow meldet Sie erneut an; Sie müssen nichts eingeben.</translation>
    </message>
    <message>
        <source>The server has taken your session back.</source>
        <translation>Der Server hat Ihre Sitzung wieder aufgenommen.</translation>
    </message>
    <message>
        <source>Please log in again.</source>
        <translation>Bitte melden Sie sich erneut an.</translation>
    </message>
</context>
<context>
    <name>Brellow::Application</name>
    <message>
        <source>Cannot find server. Please check the Internet connection and try again.</source>
        <translation>Der Server ist nicht erreichbar. Bitte prüfen Sie die Internetverbindung und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>Brellow::CommandLine</name>
    <message>
        <source>The statistics server, HOST[:PORT] (port %1 unless given; an IPv6 address in brackets, as in [::1]:%1). Otherwise $%2, then the key &quot;%3&quot; of /etc/xdg/Brellow/brellow.ini, then %4.</source>
        <translation>Der Statistikserver, HOST[:PORT] (Port %1, wenn keiner angegeben ist; eine IPv6-Adresse in eckigen Klammern, etwa [::1]:%1). Sonst $%2, dann der Schlüssel „%3“ in /etc/xdg/Brellow/brellow.ini, dann %4.</translation>
    </message>
    <message>
        <source>Brellow: the agent&apos;s status display for the statistics server.</source>
        <translation>Brellow: die Statusanzeige des Agenten für den Statistikserver.</translation>
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
    <name>Brellow::PageAccessibility</name>
    <message>
        <source>Question %1: no answer yet</source>
        <extracomment>Screen reader: a bar of the current call whose question has no answer yet.</extracomment>
        <translation>Frage %1: noch keine Antwort</translation>
    </message>
    <message>
        <source>Question %1: %2</source>
        <extracomment>Screen reader: a bar of the current call; %2 is the caller&apos;s answer as the server sent it.</extracomment>
        <translation>Frage %1: %2</translation>
    </message>
    <message>
        <source>Question %1: %2 of %3</source>
        <extracomment>Screen reader: a bar of the current call; the caller&apos;s answer %2 on a scale up to %3.</extracomment>
        <translation>Frage %1: %2 von %3</translation>
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
    <message>
        <source>Expand</source>
        <extracomment>Screen reader: the &quot;+&quot; button that opens the window&apos;s full view.</extracomment>
        <translation>Aufklappen</translation>
    </message>
    <message>
        <source>Collapse</source>
        <extracomment>Screen reader: the &quot;-&quot; button that takes the window back to its compact view.</extracomment>
        <translation>Zuklappen</translation>
    </message>
    <message>
        <source>User name</source>
        <extracomment>Screen reader: the login field for the agent&apos;s name.</extracomment>
        <translation>Benutzername</translation>
    </message>
    <message>
        <source>Password</source>
        <extracomment>Screen reader: the login field for the agent&apos;s password.</extracomment>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Answers of the current call</source>
        <extracomment>Screen reader: the bars of the caller&apos;s survey answers.</extracomment>
        <translation>Antworten des aktuellen Anrufs</translation>
    </message>
    <message>
        <source>Question 1</source>
        <extracomment>Screen reader: the bar of the caller&apos;s answer to the survey&apos;s first question.</extracomment>
        <translation>Frage 1</translation>
    </message>
    <message>
        <source>Question 2</source>
        <translation>Frage 2</translation>
    </message>
    <message>
        <source>Question 3</source>
        <translation>Frage 3</translation>
    </message>
    <message>
        <source>Question 4</source>
        <translation>Frage 4</translation>
    </message>
    <message>
        <source>Question 5</source>
        <translation>Frage 5</translation>
    </message>
    <message>
        <source>Call completed</source>
        <extracomment>Screen reader: the tick shown when the call ended as completed.</extracomment>
        <translation>Anruf abgeschlossen</translation>
    </message>
    <message>
        <source>Call not completed</source>
        <extracomment>Screen reader: the cross shown when the call ended as not completed.</extracomment>
        <translation>Anruf nicht abgeschlossen</translation>
    </message>
    <message>
        <source>No transfer reason</source>
        <translation>Grund für keine Weiterleitung</translation>
    </message>
    <message>
        <source>Account reference</source>
        <translation>Kundennummer</translation>
    </message>
    <message>
        <source>Caller number</source>
        <extracomment>Screen reader: the caller&apos;s telephone number.</extracomment>
        <translation>Rufnummer des Anrufers</translation>
    </message>
    <message>
        <source>Title</source>
        <extracomment>Screen reader: the customer&apos;s form of address (Mr, Mrs).</extracomment>
        <translation>Anrede</translation>
    </message>
    <message>
        <source>First name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>Last name</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>Call reason</source>
        <extracomment>Screen reader: the list of reasons for the call.</extracomment>
        <translation>Anrufgrund</translation>
    </message>
</context>
<context>
    <name>Brellow::ServerAddress</name>
    <message>
        <source>the value is empty</source>
        <translation>der Wert ist leer</translation>
    </message>
    <message>
        <source>the closing &apos;]&apos; is missing</source>
        <translation>die schließende Klammer &apos;]&apos; fehlt</translation>
    </message>
    <message>
        <source>only &quot;:PORT&quot; may follow &apos;]&apos;</source>
        <translation>nach &apos;]&apos; darf nur &quot;:PORT&quot; folgen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an IPv6 address</source>
        <translation>„%1“ ist keine IPv6-Adresse</translation>
    </message>
    <message>
        <source>an IPv6 address must be written in brackets, as in [::1]:%1</source>
        <translation>eine IPv6-Adresse muss in eckigen Klammern stehen, etwa [::1]:%1</translation>
    </message>
    <message>
        <source>the host is missing</source>
        <translation>der Host fehlt</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither a host name nor an IPv4 address</source>
        <translation>„%1“ ist weder ein Hostname noch eine IPv4-Adresse</translation>
    </message>
    <message>
        <source>the port is missing after &apos;:&apos;</source>
        <translation>nach &apos;:&apos; fehlt der Port</translation>
    </message>
    <message>
        <source>the port must be a number from 1 to 65535</source>
        <translation>der Port muss eine Zahl von 1 bis 65535 sein</translation>
    </message>
    <message>
        <source>the command line (--server)</source>
        <translation>Befehlszeile (--server)</translation>
    </message>
    <message>
        <source>the environment (%1)</source>
        <translation>Umgebungsvariable %1</translation>
    </message>
    <message>
        <source>the built-in default</source>
        <translation>eingebauter Standardwert</translation>
    </message>
    <message>
        <source>The statistics server &quot;%1&quot; from %2 is not valid: %3.</source>
        <extracomment>%2 is where the setting came from: the command line, the environment, a file&apos;s path or the built-in default; %3 is why the value is wrong.</extracomment>
        <translation>Der Statistikserver „%1“ (Quelle: %2) ist ungültig: %3.</translation>
    </message>
</context>
</TS>
