<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Brellow::Application</name>
    <message>
        <source>Cannot find server. Please check the Internet connection and try again.</source>
        <translation>Serveur introuvable. Veuillez vérifier la connexion Internet et réessayer.</translation>
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
</context>
</TS>
