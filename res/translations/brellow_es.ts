<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>Brellow::AgentNotice</name>
    <message>
        <source>Call started</source>
        <extracomment>Screen reader and desktop notification: a caller is on the line.</extracomment>
        <translation>Llamada iniciada</translation>
    </message>
    <message>
        <source>Call completed</source>
        <extracomment>The call ended as completed (the page&apos;s tick).</extracomment>
        <translation>Llamada completada</translation>
    </message>
    <message>
        <source>Call completed, score %1</source>
        <extracomment>The call ended as completed (the page&apos;s tick); %1 is its score as the server sends it.</extracomment>
        <translation>Llamada completada, puntuación %1</translation>
    </message>
    <message>
        <source>Call not completed</source>
        <extracomment>The call ended as not completed (the page&apos;s cross).</extracomment>
        <translation>Llamada no completada</translation>
    </message>
    <message>
        <source>Call not completed, score %1</source>
        <extracomment>The call ended as not completed (the page&apos;s cross); %1 is its score, as sent.</extracomment>
        <translation>Llamada no completada, puntuación %1</translation>
    </message>
    <message>
        <source>Connection to the server lost</source>
        <translation>Conexión con el servidor perdida</translation>
    </message>
    <message>
        <source>Connection to the server is back</source>
        <translation>Conexión con el servidor restablecida</translation>
    </message>
    <message>
        <source>The server ended your session</source>
        <translation>El servidor ha cerrado su sesión</translation>
    </message>
    <message>
        <source>Logged in again</source>
        <extracomment>Brellow has logged the agent in again by itself.</extracomment>
        <translation>Sesión iniciada de nuevo</translation>
    </message>
    <message>
        <source>Your figures are greyed until the server answers again.</source>
        <translation>Sus cifras aparecen en gris hasta que el servidor vuelva a responder.</translation>
    </message>
    <message>
        <source>Your figures are kept up to date again.</source>
        <translation>Sus cifras vuelven a mantenerse al día.</translation>
    </message>
    <message>
        <source>Brellow is logging you in again; there is nothing to type.</source>
        <translation>Brellow está iniciando su sesión de nuevo; no tiene que escribir nada.</translation>
    </message>
    <message>
        <source>The server has taken your session back.</source>
        <translation>El servidor ha recuperado su sesión.</translation>
    </message>
    <message>
        <source>Please log in again.</source>
        <translation>Inicie sesión de nuevo.</translation>
    </message>
</context>
<context>
    <name>Brellow::Application</name>
    <message>
        <source>Cannot find server. Please check the Internet connection and try again.</source>
        <translation>No se encuentra el servidor. Compruebe la conexión a Internet e inténtelo de nuevo.</translation>
    </message>
</context>
<context>
    <name>Brellow::CommandLine</name>
    <message>
        <source>The statistics server, HOST[:PORT] (port %1 unless given; an IPv6 address in brackets, as in [::1]:%1). Otherwise $%2, then the key &quot;%3&quot; of /etc/xdg/Brellow/brellow.ini, then %4.</source>
        <translation>El servidor de estadísticas, HOST[:PORT] (puerto %1 si no se indica; una dirección IPv6 entre corchetes, como en [::1]:%1). Si no, $%2, luego la clave «%3» de /etc/xdg/Brellow/brellow.ini y, por último, %4.</translation>
    </message>
    <message>
        <source>Brellow: the agent&apos;s status display for the statistics server.</source>
        <translation>Brellow: el panel de estado del agente para el servidor de estadísticas.</translation>
    </message>
</context>
<context>
    <name>Brellow::MainWindow</name>
    <message>
        <source>Please check your username and password and try again.</source>
        <translation>Compruebe su nombre de usuario y contraseña e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>The server does not answer. Please try again in a moment.</source>
        <translation>El servidor no responde. Inténtelo de nuevo en un momento.</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Please enter your username and password and try again.</source>
        <translation>Introduzca su nombre de usuario y contraseña e inténtelo de nuevo.</translation>
    </message>
</context>
<context>
    <name>Brellow::PageAccessibility</name>
    <message>
        <source>Question %1: no answer yet</source>
        <extracomment>Screen reader: a bar of the current call whose question has no answer yet.</extracomment>
        <translation>Pregunta %1: aún sin respuesta</translation>
    </message>
    <message>
        <source>Question %1: %2</source>
        <extracomment>Screen reader: a bar of the current call; %2 is the caller&apos;s answer as the server sent it.</extracomment>
        <translation>Pregunta %1: %2</translation>
    </message>
    <message>
        <source>Question %1: %2 of %3</source>
        <extracomment>Screen reader: a bar of the current call; the caller&apos;s answer %2 on a scale up to %3.</extracomment>
        <translation>Pregunta %1: %2 de %3</translation>
    </message>
</context>
<context>
    <name>Brellow::PageTexts</name>
    <message>
        <source>Username...</source>
        <translation>Usuario...</translation>
    </message>
    <message>
        <source>Password...</source>
        <translation>Contraseña...</translation>
    </message>
    <message>
        <source>Surveys Transferred</source>
        <translation>Encuestas transferidas</translation>
    </message>
    <message>
        <source>Average Score</source>
        <extracomment>The agent&apos;s average survey score, in per cent.</extracomment>
        <translation>Puntuación media</translation>
    </message>
    <message>
        <source>Team Position</source>
        <extracomment>The agent&apos;s place in the team&apos;s ranking.</extracomment>
        <translation>Posición en el equipo</translation>
    </message>
    <message>
        <source>Total Team Surveys</source>
        <translation>Total de encuestas del equipo</translation>
    </message>
    <message>
        <source>Latest Calls</source>
        <translation>Últimas llamadas</translation>
    </message>
    <message>
        <source>No transfer reason...</source>
        <extracomment>The reason why a call was not transferred to the survey.</extracomment>
        <translation>Motivo de no transferencia...</translation>
    </message>
    <message>
        <source>Add</source>
        <extracomment>Button: sends the no-transfer reason.</extracomment>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Account Details</source>
        <extracomment>The customer&apos;s account, filled in during a call.</extracomment>
        <translation>Datos de la cuenta</translation>
    </message>
    <message>
        <source>Account Ref...</source>
        <extracomment>The customer&apos;s account reference.</extracomment>
        <translation>Ref. de cuenta...</translation>
    </message>
    <message>
        <source>This option is not available in the current version</source>
        <translation>Esta opción no está disponible en la versión actual</translation>
    </message>
    <message>
        <source>Lookup</source>
        <extracomment>Button: looks the account reference up.</extracomment>
        <translation>Buscar</translation>
    </message>
    <message>
        <source>CLI...</source>
        <extracomment>The caller&apos;s telephone number (calling line identity).</extracomment>
        <translation>Número llamante...</translation>
    </message>
    <message>
        <source>Email...</source>
        <translation>Correo...</translation>
    </message>
    <message>
        <source>Survey</source>
        <extracomment>Button: transfers the caller to the survey.</extracomment>
        <translation>Encuesta</translation>
    </message>
    <message>
        <source>Title...</source>
        <extracomment>The customer&apos;s form of address (Mr, Mrs); the field is very narrow.</extracomment>
        <translation>Tratamiento...</translation>
    </message>
    <message>
        <source>First Name...</source>
        <translation>Nombre...</translation>
    </message>
    <message>
        <source>Last Name...</source>
        <translation>Apellidos...</translation>
    </message>
    <message>
        <source>Login</source>
        <extracomment>Button: logs the agent in.</extracomment>
        <translation>Iniciar sesión</translation>
    </message>
    <message>
        <source>Logout</source>
        <extracomment>Button: logs the agent out.</extracomment>
        <translation>Cerrar sesión</translation>
    </message>
    <message>
        <source>Logging in</source>
        <extracomment>The login button while the server has not yet answered.</extracomment>
        <translation>Iniciando sesión</translation>
    </message>
    <message>
        <source>Email</source>
        <extracomment>Small button in the header: shows the customer&apos;s account details.</extracomment>
        <translation>Correo</translation>
    </message>
    <message>
        <source>Main</source>
        <extracomment>Small button in the header: back from the account details to the main view.</extracomment>
        <translation>Principal</translation>
    </message>
    <message>
        <source>Call Reason...</source>
        <extracomment>First entry of the list of call reasons, chosen when none applies.</extracomment>
        <translation>Motivo de la llamada...</translation>
    </message>
    <message>
        <source>Your message has been sent...</source>
        <extracomment>Shown for a moment in the no-transfer field once the server has it.</extracomment>
        <translation>Su mensaje se ha enviado...</translation>
    </message>
    <message>
        <source>Survey has been sent</source>
        <translation>La encuesta se ha enviado</translation>
    </message>
    <message>
        <source>Connection to the server lost</source>
        <extracomment>Header notice: the server has stopped answering.</extracomment>
        <translation>Conexión con el servidor perdida</translation>
    </message>
    <message>
        <source>Reconnecting…</source>
        <extracomment>Header notice: Brellow is logging the agent in again by itself.</extracomment>
        <translation>Reconectando…</translation>
    </message>
    <message>
        <source>Expand</source>
        <extracomment>Screen reader: the &quot;+&quot; button that opens the window&apos;s full view.</extracomment>
        <translation>Ampliar</translation>
    </message>
    <message>
        <source>Collapse</source>
        <extracomment>Screen reader: the &quot;-&quot; button that takes the window back to its compact view.</extracomment>
        <translation>Reducir</translation>
    </message>
    <message>
        <source>User name</source>
        <extracomment>Screen reader: the login field for the agent&apos;s name.</extracomment>
        <translation>Nombre de usuario</translation>
    </message>
    <message>
        <source>Password</source>
        <extracomment>Screen reader: the login field for the agent&apos;s password.</extracomment>
        <translation>Contraseña</translation>
    </message>
    <message>
        <source>Answers of the current call</source>
        <extracomment>Screen reader: the bars of the caller&apos;s survey answers.</extracomment>
        <translation>Respuestas de la llamada actual</translation>
    </message>
    <message>
        <source>Question 1</source>
        <extracomment>Screen reader: the bar of the caller&apos;s answer to the survey&apos;s first question.</extracomment>
        <translation>Pregunta 1</translation>
    </message>
    <message>
        <source>Question 2</source>
        <translation>Pregunta 2</translation>
    </message>
    <message>
        <source>Question 3</source>
        <translation>Pregunta 3</translation>
    </message>
    <message>
        <source>Question 4</source>
        <translation>Pregunta 4</translation>
    </message>
    <message>
        <source>Question 5</source>
        <translation>Pregunta 5</translation>
    </message>
    <message>
        <source>Call completed</source>
        <extracomment>Screen reader: the tick shown when the call ended as completed.</extracomment>
        <translation>Llamada completada</translation>
    </message>
    <message>
        <source>Call not completed</source>
        <extracomment>Screen reader: the cross shown when the call ended as not completed.</extracomment>
        <translation>Llamada no completada</translation>
    </message>
    <message>
        <source>No transfer reason</source>
        <translation>Motivo de no transferencia</translation>
    </message>
    <message>
        <source>Account reference</source>
        <translation>Referencia de cuenta</translation>
    </message>
    <message>
        <source>Caller number</source>
        <extracomment>Screen reader: the caller&apos;s telephone number.</extracomment>
        <translation>Número llamante</translation>
    </message>
    <message>
        <source>Title</source>
        <extracomment>Screen reader: the customer&apos;s form of address (Mr, Mrs).</extracomment>
        <translation>Tratamiento</translation>
    </message>
    <message>
        <source>First name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Last name</source>
        <translation>Apellidos</translation>
    </message>
    <message>
        <source>Call reason</source>
        <extracomment>Screen reader: the list of reasons for the call.</extracomment>
        <translation>Motivo de la llamada</translation>
    </message>
</context>
<context>
    <name>Brellow::ServerAddress</name>
    <message>
        <source>the value is empty</source>
        <translation>el valor está vacío</translation>
    </message>
    <message>
        <source>the closing &apos;]&apos; is missing</source>
        <translation>falta el corchete de cierre &apos;]&apos;</translation>
    </message>
    <message>
        <source>only &quot;:PORT&quot; may follow &apos;]&apos;</source>
        <translation>después de &apos;]&apos; solo puede ir &quot;:PORT&quot;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an IPv6 address</source>
        <translation>«%1» no es una dirección IPv6</translation>
    </message>
    <message>
        <source>an IPv6 address must be written in brackets, as in [::1]:%1</source>
        <translation>una dirección IPv6 debe escribirse entre corchetes, como en [::1]:%1</translation>
    </message>
    <message>
        <source>the host is missing</source>
        <translation>falta el host</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither a host name nor an IPv4 address</source>
        <translation>«%1» no es un nombre de host ni una dirección IPv4</translation>
    </message>
    <message>
        <source>the port is missing after &apos;:&apos;</source>
        <translation>falta el puerto después de &apos;:&apos;</translation>
    </message>
    <message>
        <source>the port must be a number from 1 to 65535</source>
        <translation>el puerto debe ser un número del 1 al 65535</translation>
    </message>
    <message>
        <source>the command line (--server)</source>
        <translation>línea de comandos (--server)</translation>
    </message>
    <message>
        <source>the environment (%1)</source>
        <translation>variable de entorno %1</translation>
    </message>
    <message>
        <source>the built-in default</source>
        <translation>valor predeterminado integrado</translation>
    </message>
    <message>
        <source>The statistics server &quot;%1&quot; from %2 is not valid: %3.</source>
        <extracomment>%2 is where the setting came from: the command line, the environment, a file&apos;s path or the built-in default; %3 is why the value is wrong.</extracomment>
        <translation>El servidor de estadísticas «%1» (origen: %2) no es válido: %3.</translation>
    </message>
</context>
</TS>
