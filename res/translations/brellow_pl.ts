<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>Brellow::AgentNotice</name>
    <message>
        <source>Call started</source>
        <extracomment>Screen reader and desktop notification: a caller is on the line.</extracomment>
        <translation>Połączenie rozpoczęte</translation>
    </message>
    <message>
        <source>Call completed</source>
        <extracomment>The call ended as completed (the page&apos;s tick).</extracomment>
        <translation>Połączenie ukończone</translation>
    </message>
    <message>
        <source>Call completed, score %1</source>
        <extracomment>The call ended as completed (the page&apos;s tick); %1 is its score as the server sends it.</extracomment>
        <translation>Połączenie ukończone, ocena %1</translation>
    </message>
    <message>
        <source>Call not completed</source>
        <extracomment>The call ended as not completed (the page&apos;s cross).</extracomment>
        <translation>Połączenie nieukończone</translation>
    </message>
    <message>
        <source>Call not completed, score %1</source>
        <extracomment>The call ended as not completed (the page&apos;s cross); %1 is its score, as sent.</extracomment>
        <translation>Połączenie nieukończone, ocena %1</translation>
    </message>
    <message>
        <source>Connection to the server lost</source>
        <translation>Utracono połączenie z serwerem</translation>
    </message>
    <message>
        <source>Connection to the server is back</source>
        <translation>Przywrócono połączenie z serwerem</translation>
    </message>
    <message>
        <source>The server ended your session</source>
        <translation>Serwer zakończył sesję</translation>
    </message>
    <message>
        <source>Logged in again</source>
        <extracomment>Brellow has logged the agent in again by itself.</extracomment>
        <translation>Zalogowano ponownie</translation>
    </message>
    <message>
        <source>Your figures are greyed until the server answers again.</source>
        <translation>Twoje wyniki są wyszarzone, dopóki serwer znów nie odpowie.</translation>
    </message>
    <message>
        <source>Your figures are kept up to date again.</source>
        <translation>Twoje wyniki są znów na bieżąco aktualizowane.</translation>
    </message>
    <message>
        <source>Brellow is logging you in again; there is nothing to type.</source>
        <translation>Brellow loguje cię ponownie; nie musisz niczego wpisywać.</translation>
    </message>
    <message>
        <source>The server has taken your session back.</source>
        <translation>Serwer przywrócił sesję.</translation>
    </message>
    <message>
        <source>Please log in again.</source>
        <translation>Zaloguj się ponownie.</translation>
    </message>
</context>
<context>
    <name>Brellow::Application</name>
    <message>
        <source>Cannot find server. Please check the Internet connection and try again.</source>
        <translation>Nie można znaleźć serwera. Sprawdź połączenie z Internetem i spróbuj ponownie.</translation>
    </message>
</context>
<context>
    <name>Brellow::CommandLine</name>
    <message>
        <source>The statistics server, HOST[:PORT] (port %1 unless given; an IPv6 address in brackets, as in [::1]:%1). Otherwise $%2, then the key &quot;%3&quot; of /etc/xdg/Brellow/brellow.ini, then %4.</source>
        <translation>Serwer statystyk, HOST[:PORT] (port %1, jeśli nie podano innego; adres IPv6 w nawiasach kwadratowych, np. [::1]:%1). W przeciwnym razie $%2, potem klucz „%3” z /etc/xdg/Brellow/brellow.ini, a na końcu %4.</translation>
    </message>
    <message>
        <source>Brellow: the agent&apos;s status display for the statistics server.</source>
        <translation>Brellow: wyświetlacz stanu agenta dla serwera statystyk.</translation>
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
    <name>Brellow::PageAccessibility</name>
    <message>
        <source>Question %1: no answer yet</source>
        <extracomment>Screen reader: a bar of the current call whose question has no answer yet.</extracomment>
        <translation>Pytanie %1: jeszcze bez odpowiedzi</translation>
    </message>
    <message>
        <source>Question %1: %2</source>
        <extracomment>Screen reader: a bar of the current call; %2 is the caller&apos;s answer as the server sent it.</extracomment>
        <translation>Pytanie %1: %2</translation>
    </message>
    <message>
        <source>Question %1: %2 of %3</source>
        <extracomment>Screen reader: a bar of the current call; the caller&apos;s answer %2 on a scale up to %3.</extracomment>
        <translation>Pytanie %1: %2 z %3</translation>
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
    <message>
        <source>Expand</source>
        <extracomment>Screen reader: the &quot;+&quot; button that opens the window&apos;s full view.</extracomment>
        <translation>Rozwiń</translation>
    </message>
    <message>
        <source>Collapse</source>
        <extracomment>Screen reader: the &quot;-&quot; button that takes the window back to its compact view.</extracomment>
        <translation>Zwiń</translation>
    </message>
    <message>
        <source>User name</source>
        <extracomment>Screen reader: the login field for the agent&apos;s name.</extracomment>
        <translation>Nazwa użytkownika</translation>
    </message>
    <message>
        <source>Password</source>
        <extracomment>Screen reader: the login field for the agent&apos;s password.</extracomment>
        <translation>Hasło</translation>
    </message>
    <message>
        <source>Answers of the current call</source>
        <extracomment>Screen reader: the bars of the caller&apos;s survey answers.</extracomment>
        <translation>Odpowiedzi w bieżącym połączeniu</translation>
    </message>
    <message>
        <source>Question 1</source>
        <extracomment>Screen reader: the bar of the caller&apos;s answer to the survey&apos;s first question.</extracomment>
        <translation>Pytanie 1</translation>
    </message>
    <message>
        <source>Question 2</source>
        <translation>Pytanie 2</translation>
    </message>
    <message>
        <source>Question 3</source>
        <translation>Pytanie 3</translation>
    </message>
    <message>
        <source>Question 4</source>
        <translation>Pytanie 4</translation>
    </message>
    <message>
        <source>Question 5</source>
        <translation>Pytanie 5</translation>
    </message>
    <message>
        <source>Call completed</source>
        <extracomment>Screen reader: the tick shown when the call ended as completed.</extracomment>
        <translation>Połączenie ukończone</translation>
    </message>
    <message>
        <source>Call not completed</source>
        <extracomment>Screen reader: the cross shown when the call ended as not completed.</extracomment>
        <translation>Połączenie nieukończone</translation>
    </message>
    <message>
        <source>No transfer reason</source>
        <translation>Powód braku przekazania</translation>
    </message>
    <message>
        <source>Account reference</source>
        <translation>Numer konta</translation>
    </message>
    <message>
        <source>Caller number</source>
        <extracomment>Screen reader: the caller&apos;s telephone number.</extracomment>
        <translation>Numer dzwoniącego</translation>
    </message>
    <message>
        <source>Title</source>
        <extracomment>Screen reader: the customer&apos;s form of address (Mr, Mrs).</extracomment>
        <translation>Tytuł</translation>
    </message>
    <message>
        <source>First name</source>
        <translation>Imię</translation>
    </message>
    <message>
        <source>Last name</source>
        <translation>Nazwisko</translation>
    </message>
    <message>
        <source>Call reason</source>
        <extracomment>Screen reader: the list of reasons for the call.</extracomment>
        <translation>Powód połączenia</translation>
    </message>
</context>
<context>
    <name>Brellow::ServerAddress</name>
    <message>
        <source>the value is empty</source>
        <translation>wartość jest pusta</translation>
    </message>
    <message>
        <source>the closing &apos;]&apos; is missing</source>
        <translation>brakuje nawiasu zamykającego &apos;]&apos;</translation>
    </message>
    <message>
        <source>only &quot;:PORT&quot; may follow &apos;]&apos;</source>
        <translation>po &apos;]&apos; może wystąpić tylko &quot;:PORT&quot;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an IPv6 address</source>
        <translation>„%1” nie jest adresem IPv6</translation>
    </message>
    <message>
        <source>an IPv6 address must be written in brackets, as in [::1]:%1</source>
        <translation>adres IPv6 należy zapisać w nawiasach kwadratowych, np. [::1]:%1</translation>
    </message>
    <message>
        <source>the host is missing</source>
        <translation>brakuje nazwy hosta</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither a host name nor an IPv4 address</source>
        <translation>„%1” nie jest ani nazwą hosta, ani adresem IPv4</translation>
    </message>
    <message>
        <source>the port is missing after &apos;:&apos;</source>
        <translation>brakuje portu po &apos;:&apos;</translation>
    </message>
    <message>
        <source>the port must be a number from 1 to 65535</source>
        <translation>port musi być liczbą od 1 do 65535</translation>
    </message>
    <message>
        <source>the command line (--server)</source>
        <translation>wiersz poleceń (--server)</translation>
    </message>
    <message>
        <source>the environment (%1)</source>
        <translation>zmienna środowiskowa %1</translation>
    </message>
    <message>
        <source>the built-in default</source>
        <translation>wbudowana wartość domyślna</translation>
    </message>
    <message>
        <source>The statistics server &quot;%1&quot; from %2 is not valid: %3.</source>
        <extracomment>%2 is where the setting came from: the command line, the environment, a file&apos;s path or the built-in default; %3 is why the value is wrong.</extracomment>
        <translation>Serwer statystyk „%1” (źródło: %2) jest nieprawidłowy: %3.</translation>
    </message>
</context>
</TS>
