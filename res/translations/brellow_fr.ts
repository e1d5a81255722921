<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Brellow::AgentNotice</name>
    <message>
        <source>Call started</source>
        <extracomment>Screen reader and desktop notification: a caller is on the line.</extracomment>
        <translation>Appel commencé</translation>
    </message>
    <message>
        <source>Call completed</source>
        <extracomment>The call ended as completed (the page&apos;s tick).</extracomment>
        <translation>Appel complété</translation>
    </message>
    <message>
        <source>Call completed, score %1</source>
        <extracomment>The call ended as completed (the page&apos;s tick); %1 is its score as the server sends it.</extracomment>
        <translation>Appel complété, note %1</translation>
    </message>
    <message>
        <source>Call not completed</source>
        <extracomment>The call ended as not completed (the page&apos;s cross).</extracomment>
        <translation>Appel non complété</translation>
    </message>
    <message>
        <source>Call not completed, score %1</source>
        <extracomment>The call ended as not completed (the page&apos;s cross); %1 is its score, as sent.</extracomment>
        <translation>Appel non complété, note %1</translation>
    </message>
    <message>
        <source>Connection to the server lost</source>
        <translation>Connexion au serveur perdue</translation>
    </message>
    <message>
        <source>Connection to the server is back</source>
        <translation>Connexion au serveur rétablie</translation>
    </message>
    <message>
        <source>The server ended your session</source>
        <translation>Le serveur a fermé votre session</translation>
    </message>
    <message>
        <source>Logged in again</source>
        <extracomment>Brellow has logged the agent in again by itself.</extracomment>
        <translation>De nouveau connecté</translation>
    </message>
    <message>
        <source>Your figures are greyed until the server answers again.</source>
        <translation>Vos chiffres restent grisés jusqu&apos;à ce que le serveur réponde de nouveau.</translation>
    </message>
    <message>
        <source>Your figures are kept up to date again.</source>
        <translation>Vos chiffres sont de nouveau tenus à jour.</translation>
    </message>
    <message>
        <source>Brellow is logging you in again; there is nothing to type.</source>
        <translation>Brellow vous reconnecte&#xa0;; vous n&apos;avez rien à saisir.</translation>
    </message>
    <message>
        <source>The server has taken your session back.</source>
        <translation>Le serveur a repris votre session.</translation>
    </message>
    <message>
        <source>Please log in again.</source>
        <translation>Veuillez vous reconnecter.</translation>
    </message>
</context>
<context>
    <name>Brellow::Application</name>
    <message>
        <source>Cannot find server. Please check the Internet connection and try again.</source>
        <translation>Serveur introuvable. Veuillez vérifier la connexion Internet et réessayer.</translation>
    </message>
</context>
<context>
    <name>Brellow::CommandLine</name>
    <message>
        <source>The statistics server, HOST[:PORT] (port %1 unless given; an IPv6 address in brackets, as in [::1]:%1). Otherwise $%2, then the key &quot;%3&quot; of /etc/xdg/Brellow/brellow.ini, then %4.</source>
        <translation>Le serveur de statistiques, HOST[:PORT] (port %1 s’il n’est pas indiqué ; une adresse IPv6 entre crochets, comme dans [::1]:%1). À défaut, $%2, puis la clé « %3 » de /etc/xdg/Brellow/brellow.ini, puis %4.</translation>
    </message>
    <message>
        <source>Brellow: the agent&apos;s status display for the statistics server.</source>
        <translation>Brellow : l’affichage d’état de l’agent pour le serveur de statistiques.</translation>
    </message>
</context>
<context>
    <name>Brellow::MainWindow</name>
    <message>
        <source>Please check your username and password and try again.</source>
        <translation>Veuillez vérifier votre nom d&apos;utilisateur et votre mot de passe, puis réessayer.</translation>
    </message>
    <message>
        <source>The server does not answer. Please try again in a moment.</source>
        <translation>Le serveur ne répond pas. Veuillez réessayer dans un instant.</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Please enter your username and password and try again.</source>
        <translation>Veuillez saisir votre nom d&apos;utilisateur et votre mot de passe, puis réessayer.</translation>
    </message>
</context>
<context>
    <name>Brellow::PageAccessibility</name>
    <message>
        <source>Question %1: no answer yet</source>
        <extracomment>Screen reader: a bar of the current call whose question has no answer yet.</extracomment>
        <translation>Question n°&#xa0;%1&#xa0;: pas encore de réponse</translation>
    </message>
    <message>
        <source>Question %1: %2</source>
        <extracomment>Screen reader: a bar of the current call; %2 is the caller&apos;s answer as the server sent it.</extracomment>
        <translation>Question n°&#xa0;%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Question %1: %2 of %3</source>
        <extracomment>Screen reader: a bar of the current call; the caller&apos;s answer %2 on a scale up to %3.</extracomment>
        <translation>Question n°&#xa0;%1&#xa0;: %2 sur %3</translation>
    </message>
</context>
<context>
    <name>Brellow::PageTexts</name>
    <message>
        <source>Username...</source>
        <translation>Nom d&apos;utilisateur...</translation>
    </message>
    <message>
        <source>Password...</source>
        <translation>Mot de passe...</translation>
    </message>
    <message>
        <source>Surveys Transferred</source>
        <translation>Enquêtes transférées</translation>
    </message>
    <message>
        <source>Average Score</source>
        <extracomment>The agent&apos;s average survey score, in per cent.</extracomment>
        <translation>Note moyenne</translation>
    </message>
    <message>
        <source>Team Position</source>
        <extracomment>The agent&apos;s place in the team&apos;s ranking.</extracomment>
        <translation>Rang dans l&apos;équipe</translation>
    </message>
    <message>
        <source>Total Team Surveys</source>
        <translation>Total des enquêtes de l&apos;équipe</translation>
    </message>
    <message>
        <source>Latest Calls</source>
        <translation>Derniers appels</translation>
    </message>
    <message>
        <source>No transfer reason...</source>
        <extracomment>The reason why a call was not transferred to the survey.</extracomment>
        <translation>Motif de non-transfert...</translation>
    </message>
    <message>
        <source>Add</source>
        <extracomment>Button: sends the no-transfer reason.</extracomment>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Account Details</source>
        <extracomment>The customer&apos;s account, filled in during a call.</extracomment>
        <translation>Détails du compte</translation>
    </message>
    <message>
        <source>Account Ref...</source>
        <extracomment>The customer&apos;s account reference.</extracomment>
        <translation>Réf. compte...</translation>
    </message>
    <message>
        <source>This option is not available in the current version</source>
        <translation>Cette option n&apos;est pas disponible dans la version actuelle</translation>
    </message>
    <message>
        <source>Lookup</source>
        <extracomment>Button: looks the account reference up.</extracomment>
        <translation>Chercher</translation>
    </message>
    <message>
        <source>CLI...</source>
        <extracomment>The caller&apos;s telephone number (calling line identity).</extracomment>
        <translation>Numéro appelant...</translation>
    </message>
    <message>
        <source>Email...</source>
        <translation>E-mail...</translation>
    </message>
    <message>
        <source>Survey</source>
        <extracomment>Button: transfers the caller to the survey.</extracomment>
        <translation>Enquête</translation>
    </message>
    <message>
        <source>Title...</source>
        <extracomment>The customer&apos;s form of address (Mr, Mrs); the field is very narrow.</extracomment>
        <translation>Civilité...</translation>
    </message>
    <message>
        <source>First Name...</source>
        <translation>Prénom...</translation>
    </message>
    <message>
        <source>Last Name...</source>
        <translation>Nom...</translation>
    </message>
    <message>
        <source>Login</source>
        <extracomment>Button: logs the agent in.</extracomment>
        <translation>Se connecter</translation>
    </message>
    <message>
        <source>Logout</source>
        <extracomment>Button: logs the agent out.</extracomment>
        <translation>Fermer la session</translation>
    </message>
    <message>
        <source>Logging in</source>
        <extracomment>The login button while the server has not yet answered.</extracomment>
        <translation>Connexion</translation>
    </message>
    <message>
        <source>Email</source>
        <extracomment>Small button in the header: shows the customer&apos;s account details.</extracomment>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>Main</source>
        <extracomment>Small button in the header: back from the account details to the main view.</extracomment>
        <translation>Principal</translation>
    </message>
    <message>
        <source>Call Reason...</source>
        <extracomment>First entry of the list of call reasons, chosen when none applies.</extracomment>
        <translation>Motif de l&apos;appel...</translation>
    </message>
    <message>
        <source>Your message has been sent...</source>
        <extracomment>Shown for a moment in the no-transfer field once the server has it.</extracomment>
        <translation>Votre message a été envoyé...</translation>
    </message>
    <message>
        <source>Survey has been sent</source>
        <translation>L&apos;enquête a été envoyée</translation>
    </message>
    <message>
        <source>Connection to the server lost</source>
        <extracomment>Header notice: the server has stopped answering.</extracomment>
        <translation>Connexion au serveur perdue</translation>
    </message>
    <message>
        <source>Reconnecting…</source>
        <extracomment>Header notice: Brellow is logging the agent in again by itself.</extracomment>
        <translation>Reconnexion…</translation>
    </message>
    <message>
        <source>Expand</source>
        <extracomment>Screen reader: the &quot;+&quot; button that opens the window&apos;s full view.</extracomment>
        <translation>Agrandir</translation>
    </message>
    <message>
        <source>Collapse</source>
        <extracomment>Screen reader: the &quot;-&quot; button that takes the window back to its compact view.</extracomment>
        <translation>Réduire</translation>
    </message>
    <message>
        <source>User name</source>
        <extracomment>Screen reader: the login field for the agent&apos;s name.</extracomment>
        <translation>Nom d&apos;utilisateur</translation>
    </message>
    <message>
        <source>Password</source>
        <extracomment>Screen reader: the login field for the agent&apos;s password.</extracomment>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>Answers of the current call</source>
        <extracomment>Screen reader: the bars of the caller&apos;s survey answers.</extracomment>
        <translation>Réponses de l&apos;appel en cours</translation>
    </message>
    <message>
        <source>Question 1</source>
        <extracomment>Screen reader: the bar of the caller&apos;s answer to the survey&apos;s first question.</extracomment>
        <translation>Question n°&#xa0;1</translation>
    </message>
    <message>
        <source>Question 2</source>
        <translation>Question n°&#xa0;2</translation>
    </message>
    <message>
        <source>Question 3</source>
        <translation>Question n°&#xa0;3</translation>
    </message>
    <message>
        <source>Question 4</source>
        <translation>Question n°&#xa0;4</translation>
    </message>
    <message>
        <source>Question 5</source>
        <translation>Question n°&#xa0;5</translation>
    </message>
    <message>
        <source>Call completed</source>
        <extracomment>Screen reader: the tick shown when the call ended as completed.</extracomment>
        <translation>Appel complété</translation>
    </message>
    <message>
        <source>Call not completed</source>
        <extracomment>Screen reader: the cross shown when the call ended as not completed.</extracomment>
        <translation>Appel non complété</translation>
    </message>
    <message>
        <source>No transfer reason</source>
        <translation>Motif de non-transfert</translation>
    </message>
    <message>
        <source>Account reference</source>
        <translation>Référence du compte</translation>
    </message>
    <message>
        <source>Caller number</source>
        <extracomment>Screen reader: the caller&apos;s telephone number.</extracomment>
        <translation>Numéro appelant</translation>
    </message>
    <message>
        <source>Title</source>
        <extracomment>Screen reader: the customer&apos;s form of address (Mr, Mrs).</extracomment>
        <translation>Civilité</translation>
    </message>
    <message>
        <source>First name</source>
        <translation>Prénom</translation>
    </message>
    <message>
        <source>Last name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Call reason</source>
        <extracomment>Screen reader: the list of reasons for the call.</extracomment>
        <translation>Motif de l&apos;appel</translation>
    </message>
</context>
<context>
    <name>Brellow::ServerAddress</name>
    <message>
        <source>the value is empty</source>
        <translation>la valeur est vide</translation>
    </message>
    <message>
        <source>the closing &apos;]&apos; is missing</source>
        <translation>le crochet fermant &apos;]&apos; manque</translation>
    </message>
    <message>
        <source>only &quot;:PORT&quot; may follow &apos;]&apos;</source>
        <translation>seul &quot;:PORT&quot; peut suivre &apos;]&apos;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an IPv6 address</source>
        <translation>« %1 » n’est pas une adresse IPv6</translation>
    </message>
    <message>
        <source>an IPv6 address must be written in brackets, as in [::1]:%1</source>
        <translation>une adresse IPv6 doit être écrite entre crochets, comme dans [::1]:%1</translation>
    </message>
    <message>
        <source>the host is missing</source>
        <translation>l’hôte manque</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither a host name nor an IPv4 address</source>
        <translation>« %1 » n’est ni un nom d’hôte ni une adresse IPv4</translation>
    </message>
    <message>
        <source>the port is missing after &apos;:&apos;</source>
        <translation>le port manque après &apos;:&apos;</translation>
    </message>
    <message>
        <source>the port must be a number from 1 to 65535</source>
        <translation>le port doit être un nombre de 1 à 65535</translation>
    </message>
    <message>
        <source>the command line (--server)</source>
        <translation>ligne de commande (--server)</translation>
    </message>
    <message>
        <source>the environment (%1)</source>
        <translation>variable d’environnement %1</translation>
    </message>
    <message>
        <source>the built-in default</source>
        <translation>valeur par défaut intégrée</translation>
    </message>
    <message>
        <source>The statistics server &quot;%1&quot; from %2 is not valid: %3.</source>
        <extracomment>%2 is where the setting came from: the command line, the environment, a file&apos;s path or the built-in default; %3 is why the value is wrong.</extracomment>
        <translation>Le serveur de statistiques « %1 » (source : %2) n’est pas valide : %3.</translation>
    </message>
</context>
</TS>
