<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>Brellow::AgentNotice</name>
    <message>
        <source>Call started</source>
        <extracomment>Screen reader and desktop notification: a caller is on the line.</extracomment>
        <translation>Chamada iniciada</translation>
    </message>
    <message>
        <source>Call completed</source>
        <extracomment>The call ended as completed (the page&apos;s tick).</extracomment>
        <translation>Chamada concluída</translation>
    </message>
    <message>
        <source>Call completed, score %1</source>
        <extracomment>The call ended as completed (the page&apos;s tick); %1 is its score as the server sends it.</extracomment>
        <translation>Chamada concluída, nota %1</translation>
    </message>
    <message>
        <source>Call not completed</source>
        <extracomment>The call ended as not completed (the page&apos;s cross).</extracomment>
        <translation>Chamada não concluída</translation>
    </message>
    <message>
        <source>Call not completed, score %1</source>
        <extracomment>The call ended as not completed (the page&apos;s cross); %1 is its score, as sent.</extracomment>
        <translation>Chamada não concluída, nota %1</translation>
    </message>
    <message>
        <source>Connection to the server lost</source>
        <translation>Conexão com o servidor perdida</translation>
    </message>
    <message>
        <source>Connection to the server is back</source>
        <translation>Conexão com o servidor restabelecida</translation>
    </message>
    <message>
        <source>The server ended your session</source>
        <translation>O servidor encerrou sua sessão</translation>
    </message>
    <message>
        <source>Logged in again</source>
        <extracomment>Brellow has logged the agent in again by itself.</extracomment>
        <translation>Conectado novamente</translation>
    </message>
    <message>
        <source>Your figures are greyed until the server answers again.</source>
        <translation>Seus números ficam em cinza até o servidor responder novamente.</translation>
    </message>
    <message>
        <source>Your figures are kept up to date again.</source>
        <translation>Seus números voltaram a ser atualizados.</translation>
    </message>
    <message>
        <source>Brellow is logging you in again; there is nothing to type.</source>
        <translation>O Brellow está fazendo seu login novamente; não é preciso digitar nada.</translation>
    </message>
    <message>
        <source>The server has taken your session back.</source>
        <translation>O servidor retomou sua sessão.</translation>
    </message>
    <message>
        <source>Please log in again.</source>
        <translation>Faça login novamente.</translation>
    </message>
</context>
<context>
    <name>Brellow::Application</name>
    <message>
        <source>Cannot find server. Please check the Internet connection and try again.</source>
        <translation>Servidor não encontrado. Verifique a conexão com a Internet e tente novamente.</translation>
    </message>
</context>
<context>
    <name>Brellow::CommandLine</name>
    <message>
        <source>The statistics server, HOST[:PORT] (port %1 unless given; an IPv6 address in brackets, as in [::1]:%1). Otherwise $%2, then the key &quot;%3&quot; of /etc/xdg/Brellow/brellow.ini, then %4.</source>
        <translation>O servidor de estatísticas, HOST[:PORT] (porta %1 se não for informada; um endereço IPv6 entre colchetes, como em [::1]:%1). Senão, $%2, depois a chave “%3” de /etc/xdg/Brellow/brellow.ini e, por fim, %4.</translation>
    </message>
    <message>
        <source>Brellow: the agent&apos;s status display for the statistics server.</source>
        <translation>Brellow: o painel de status do agente para o servidor de estatísticas.</translation>
    </message>
</context>
<context>
    <name>Brellow::MainWindow</name>
    <message>
        <source>Please check your username and password and try again.</source>
        <translation>Verifique seu nome de usuário e senha e tente novamente.</translation>
    </message>
    <message>
        <source>The server does not answer. Please try again in a moment.</source>
        <translation>O servidor não responde. Tente novamente em instantes.</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Encerrar</translation>
    </message>
    <message>
        <source>Please enter your username and password and try again.</source>
        <translation>Digite seu nome de usuário e senha e tente novamente.</translation>
    </message>
</context>
<context>
    <name>Brellow::PageAccessibility</name>
    <message>
        <source>Question %1: no answer yet</source>
        <extracomment>Screen reader: a bar of the current call whose question has no answer yet.</extracomment>
        <translation>Pergunta %1: ainda sem resposta</translation>
    </message>
    <message>
        <source>Question %1: %2</source>
        <extracomment>Screen reader: a bar of the current call; %2 is the caller&apos;s answer as the server sent it.</extracomment>
        <translation>Pergunta %1: %2</translation>
    </message>
    <message>
        <source>Question %1: %2 of %3</source>
        <extracomment>Screen reader: a bar of the current call; the caller&apos;s answer %2 on a scale up to %3.</extracomment>
        <translation>Pergunta %1: %2 de %3</translation>
    </message>
</context>
<context>
    <name>Brellow::PageTexts</name>
    <message>
        <source>Username...</source>
        <translation>Usuário...</translation>
    </message>
    <message>
        <source>Password...</source>
        <translation>Senha...</translation>
    </message>
    <message>
        <source>Surveys Transferred</source>
        <translation>Pesquisas transferidas</translation>
    </message>
    <message>
        <source>Average Score</source>
        <extracomment>The agent&apos;s average survey score, in per cent.</extracomment>
        <translation>Nota média</translation>
    </message>
    <message>
        <source>Team Position</source>
        <extracomment>The agent&apos;s place in the team&apos;s ranking.</extracomment>
        <translation>Posição na equipe</translation>
    </message>
    <message>
        <source>Total Team Surveys</source>
        <translation>Total de pesquisas da equipe</translation>
    </message>
    <message>
        <source>Latest Calls</source>
        <translation>Últimas chamadas</translation>
    </message>
    <message>
        <source>No transfer reason...</source>
        <extracomment>The reason why a call was not transferred to the survey.</extracomment>
        <translation>Motivo da não transferência...</translation>
    </message>
    <message>
        <source>Add</source>
        <extracomment>Button: sends the no-transfer reason.</extracomment>
        <translation>Adicionar</translation>
    </message>
    <message>
        <source>Account Details</source>
        <extracomment>The customer&apos;s account, filled in during a call.</extracomment>
        <translation>Dados da conta</translation>
    </message>
    <message>
        <source>Account Ref...</source>
        <extracomment>The customer&apos;s account reference.</extracomment>
        <translation>Ref. da conta...</translation>
    </message>
    <message>
        <source>This option is not available in the current version</source>
        <translation>Esta opção não está disponível na versão atual</translation>
    </message>
    <message>
        <source>Lookup</source>
        <extracomment>Button: looks the account reference up.</extracomment>
        <translation>Consultar</translation>
    </message>
    <message>
        <source>CLI...</source>
        <extracomment>The caller&apos;s telephone number (calling line identity).</extracomment>
        <translation>Número do chamador...</translation>
    </message>
    <message>
        <source>Email...</source>
        <translation>E-mail...</translation>
    </message>
    <message>
        <source>Survey</source>
        <extracomment>Button: transfers the caller to the survey.</extracomment>
        <translation>Pesquisa</translation>
    </message>
    <message>
        <source>Title...</source>
        <extracomment>The customer&apos;s form of address (Mr, Mrs); the field is very narrow.</extracomment>
        <translation>Tratamento...</translation>
    </message>
    <message>
        <source>First Name...</source>
        <translation>Nome...</translation>
    </message>
    <message>
        <source>Last Name...</source>
        <translation>Sobrenome...</translation>
    </message>
    <message>
        <source>Login</source>
        <extracomment>Button: logs the agent in.</extracomment>
        <translation>Entrar</translation>
    </message>
    <message>
        <source>Logout</source>
        <extracomment>Button: logs the agent out.</extracomment>
        <translation>Sair</translation>
    </message>
    <message>
        <source>Logging in</source>
        <extracomment>The login button while the server has not yet answered.</extracomment>
        <translation>Entrando</translation>
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
        <translation>Motivo da ligação...</translation>
    </message>
    <message>
        <source>Your message has been sent...</source>
        <extracomment>Shown for a moment in the no-transfer field once the server has it.</extracomment>
        <translation>Sua mensagem foi enviada...</translation>
    </message>
    <message>
        <source>Survey has been sent</source>
        <translation>A pesquisa foi enviada</translation>
    </message>
    <message>
        <source>Connection to the server lost</source>
        <extracomment>Header notice: the server has stopped answering.</extracomment>
        <translation>Conexão com o servidor perdida</translation>
    </message>
    <message>
        <source>Reconnecting…</source>
        <extracomment>Header notice: Brellow is logging the agent in again by itself.</extracomment>
        <translation>Reconectando…</translation>
    </message>
    <message>
        <source>Expand</source>
        <extracomment>Screen reader: the &quot;+&quot; button that opens the window&apos;s full view.</extracomment>
        <translation>Expandir</translation>
    </message>
    <message>
        <source>Collapse</source>
        <extracomment>Screen reader: the &quot;-&quot; button that takes the window back to its compact view.</extracomment>
        <translation>Recolher</translation>
    </message>
    <message>
        <source>User name</source>
        <extracomment>Screen reader: the login field for the agent&apos;s name.</extracomment>
        <translation>Nome de usuário</translation>
    </message>
    <message>
        <source>Password</source>
        <extracomment>Screen reader: the login field for the agent&apos;s password.</extracomment>
        <translation>Senha</translation>
    </message>
    <message>
        <source>Answers of the current call</source>
        <extracomment>Screen reader: the bars of the caller&apos;s survey answers.</extracomment>
        <translation>Respostas da chamada atual</translation>
    </message>
    <message>
        <source>Question 1</source>
        <extracomment>Screen reader: the bar of the caller&apos;s answer to the survey&apos;s first question.</extracomment>
        <translation>Pergunta 1</translation>
    </message>
    <message>
        <source>Question 2</source>
        <translation>Pergunta 2</translation>
    </message>
    <message>
        <source>Question 3</source>
        <translation>Pergunta 3</translation>
    </message>
    <message>
        <source>Question 4</source>
        <translation>Pergunta 4</translation>
    </message>
    <message>
        <source>Question 5</source>
        <translation>Pergunta 5</translation>
    </message>
    <message>
        <source>Call completed</source>
        <extracomment>Screen reader: the tick shown when the call ended as completed.</extracomment>
        <translation>Chamada concluída</translation>
    </message>
    <message>
        <source>Call not completed</source>
        <extracomment>Screen reader: the cross shown when the call ended as not completed.</extracomment>
        <translation>Chamada não concluída</translation>
    </message>
    <message>
        <source>No transfer reason</source>
        <translation>Motivo da não transferência</translation>
    </message>
    <message>
        <source>Account reference</source>
        <translation>Referência da conta</translation>
    </message>
    <message>
        <source>Caller number</source>
        <extracomment>Screen reader: the caller&apos;s telephone number.</extracomment>
        <translation>Número do chamador</translation>
    </message>
    <message>
        <source>Title</source>
        <extracomment>Screen reader: the customer&apos;s form of address (Mr, Mrs).</extracomment>
        <translation>Tratamento</translation>
    </message>
    <message>
        <source>First name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Last name</source>
        <translation>Sobrenome</translation>
    </message>
    <message>
        <source>Call reason</source>
        <extracomment>Screen reader: the list of reasons for the call.</extracomment>
        <translation>Motivo da ligação</translation>
    </message>
</context>
<context>
    <name>Brellow::ServerAddress</name>
    <message>
        <source>the value is empty</source>
        <translation>o valor está vazio</translation>
    </message>
    <message>
        <source>the closing &apos;]&apos; is missing</source>
        <translation>falta o colchete de fechamento &apos;]&apos;</translation>
    </message>
    <message>
        <source>only &quot;:PORT&quot; may follow &apos;]&apos;</source>
        <translation>apenas &quot;:PORT&quot; pode vir depois de &apos;]&apos;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an IPv6 address</source>
        <translation>“%1” não é um endereço IPv6</translation>
    </message>
    <message>
        <source>an IPv6 address must be written in brackets, as in [::1]:%1</source>
        <translation>um endereço IPv6 deve ser escrito entre colchetes, como em [::1]:%1</translation>
    </message>
    <message>
        <source>the host is missing</source>
        <translation>falta o host</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither a host name nor an IPv4 address</source>
        <translation>“%1” não é um nome de host nem um endereço IPv4</translation>
    </message>
    <message>
        <source>the port is missing after &apos;:&apos;</source>
        <translation>falta a porta depois de &apos;:&apos;</translation>
    </message>
    <message>
        <source>the port must be a number from 1 to 65535</source>
        <translation>a porta deve ser um número de 1 a 65535</translation>
    </message>
    <message>
        <source>the command line (--server)</source>
        <translation>linha de comando (--server)</translation>
    </message>
    <message>
        <source>the environment (%1)</source>
        <translation>variável de ambiente %1</translation>
    </message>
    <message>
        <source>the built-in default</source>
        <translation>valor padrão embutido</translation>
    </message>
    <message>
        <source>The statistics server &quot;%1&quot; from %2 is not valid: %3.</source>
        <extracomment>%2 is where the setting came from: the command line, the environment, a file&apos;s path or the built-in default; %3 is why the value is wrong.</extracomment>
        <translation>O servidor de estatísticas “%1” (origem: %2) não é válido: %3.</translation>
    </message>
</context>
</TS>
