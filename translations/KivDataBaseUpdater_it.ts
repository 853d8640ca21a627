<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it">
<context>
    <name>Database update</name>
    <message>
        <source>Encrypting data</source>
        <translation>Cifratura dei dati</translation>
    </message>
</context>
<context>
    <name>DatabaseBackup</name>
    <message>
        <source>Database backup</source>
        <translation>Backup del database</translation>
    </message>
    <message>
        <source>Database restore</source>
        <translation>Ripristino del database</translation>
    </message>
    <message>
        <source>%1
Elapsed time: %2
%3</source>
        <translation>%1
Tempo trascorso: %2
%3</translation>
    </message>
</context>
<context>
    <name>Initialization</name>
    <message>
        <source>The application is already running !</source>
        <translation>L&apos;applicazione è già in esecuzione!</translation>
    </message>
</context>
<context>
    <name>KivDataBaseUpdater</name>
    <message>
        <source>The database is up to date.</source>
        <translation>Il database è aggiornato.</translation>
    </message>
    <message>
        <source>This program can&apos;t update di current database.
Use a newer version of the program and retry.</source>
        <translation>Questo programma non può aggiornare il database attuale.
Utilizzare una versione più recente del programma e riprovare.</translation>
    </message>
    <message>
        <source>Error during database update.</source>
        <translation>Errore durante l&apos;aggiornamento del database.</translation>
    </message>
    <message>
        <source>Database update performed with success.</source>
        <translation>Aggiornamento del database eseguito con successo.</translation>
    </message>
    <message>
        <source>The datasase was not updated.
Are you sure you want to exit ?</source>
        <translation>Il database non è stato aggiornato.
Uscire comunque dal programma?</translation>
    </message>
    <message>
        <source>Close the program</source>
        <translation>Chiude il programma</translation>
    </message>
    <message>
        <source>Program Configuration</source>
        <translation>Configurazione programma</translation>
    </message>
    <message>
        <source>Backup database</source>
        <translation>Esegue il backup del database</translation>
    </message>
    <message>
        <source>Restore database</source>
        <translation>Ripristina il database da un backup</translation>
    </message>
    <message>
        <source>Create a new database</source>
        <translation>Crea un nuovo database</translation>
    </message>
    <message>
        <source>Clean database backup</source>
        <translation>Elimina i backup del database più vecchi</translation>
    </message>
    <message>
        <source>Show the about window</source>
        <translation>Mostra le informazioni sul programma</translation>
    </message>
    <message>
        <source>Postgresql not installed.</source>
        <translation>PostgreSQL non installato.</translation>
    </message>
    <message>
        <source>Database update</source>
        <translation>Aggiornamento database</translation>
    </message>
    <message>
        <source>Database creation and update</source>
        <translation>Creazione e aggiornamento database</translation>
    </message>
    <message>
        <source>Unable to find the backup program.
The database backup was aborted.</source>
        <translation>Impossibile trovare il programma di backup.
Il backup del database è stato interrotto.</translation>
    </message>
    <message>
        <source>Unable to start the backup program.
The database backup was aborted.</source>
        <translation>Impossibile avviare il programma di backup.
Il backup del database è stato interrotto.</translation>
    </message>
    <message>
        <source>Error during the backup process.
The database backup was aborted.</source>
        <translation>Errore durante il backup.
Il backup del database è stato interrotto.</translation>
    </message>
    <message>
        <source>Backup successfully executed.</source>
        <translation>Backup eseguito con successo.</translation>
    </message>
    <message>
        <source>Unable to find the restore program.
The database restore was aborted.</source>
        <translation>Impossibile trovare il programma di ripristino.
Il ripristino del database è stato interrotto.</translation>
    </message>
    <message>
        <source>Unable to start the restore program.
The database restore was aborted.</source>
        <translation>Impossibile avviare il programma di ripristino.
Il ripristino del database è stato interrotto.</translation>
    </message>
    <message>
        <source>Error during the restore process.
The database restore was aborted.</source>
        <translation>Errore durante il ripristino.
Il ripristino del database è stato interrotto.</translation>
    </message>
    <message>
        <source>Restore successfully executed.</source>
        <translation>Ripristino eseguito con successo.</translation>
    </message>
    <message>
        <source>Are you sure you want to backup the database %1 ?</source>
        <translation>Eseguire il backup del database %1?</translation>
    </message>
    <message>
        <source>Are you sure you want to restore the database %1 ?</source>
        <translation>Ripristinare il database %1?</translation>
    </message>
    <message>
        <source>This process will clean the database backup.
Continue ?</source>
        <translation>Questa operazione eliminerà i backup del database più vecchi.
Continuare?</translation>
    </message>
    <message>
        <source>Select backup file</source>
        <translation>Seleziona il file di backup</translation>
    </message>
    <message>
        <source>Backup files (*.tar);;All Files (*)</source>
        <translation>File di backup (*.tar);;Tutti i file (*)</translation>
    </message>
    <message>
        <source>Restore database: Unable to termiante the database activity.</source>
        <translation>Ripristino database: impossibile terminare l&apos;attività del database.</translation>
    </message>
    <message>
        <source>Restore database: Unable to create the database.</source>
        <translation>Ripristino database: impossibile creare il database.</translation>
    </message>
    <message>
        <source>The backup file is incomplete or damaged.
The database restore was aborted.</source>
        <translation>Il file di backup è incompleto o danneggiato.
Il ripristino del database è stato interrotto.</translation>
    </message>
    <message>
        <source>Clean database backup file process completed.</source>
        <translation>Pulizia dei file di backup del database completata.</translation>
    </message>
    <message>
        <source>The backup before the update failed.
The database update was not started.</source>
        <translation>Il backup prima dell&apos;aggiornamento non è riuscito.
L&apos;aggiornamento del database non è stato avviato.</translation>
    </message>
    <message>
        <source>Compare the database schema with the schema of its version</source>
        <translation>Confronta lo schema del database con lo schema della sua versione</translation>
    </message>
    <message>
        <source>The backup program does not fit the database server:
%1
The database backup was aborted.</source>
        <translation>Il programma di backup non è adatto al server del database:
%1
Il backup del database è stato interrotto.</translation>
    </message>
    <message>
        <source>The restore program does not fit this backup or the database server:
%1
The database restore was aborted.</source>
        <translation>Il programma di ripristino non è adatto a questo backup o al server del database:
%1
Il ripristino del database è stato interrotto.</translation>
    </message>
    <message>
        <source>The restored data could not take the place of the database %1, which keeps its data as before.
The database restore was aborted.</source>
        <translation>I dati ripristinati non hanno potuto sostituire il database %1, che conserva i suoi dati come prima.
Il ripristino del database è stato interrotto.</translation>
    </message>
    <message>
        <source>The database %1 could not be put back under its name: its data is in the database %2, the restored data in the database %3.
No data was deleted. Call the service engineer.</source>
        <translation>Non è stato possibile ripristinare il nome del database %1: i suoi dati sono nel database %2, i dati ripristinati nel database %3.
Nessun dato è stato cancellato. Chiamare il tecnico dell&apos;assistenza.</translation>
    </message>
    <message>
        <source>These connections to the database will be ended:
%1</source>
        <translation>Queste connessioni al database verranno chiuse:
%1</translation>
    </message>
    <message>
        <source>The update will be rehearsed on a copy of the database %1, made from the newest verified backup.
The database itself is not changed. This takes about as long as a restore and the update.
Continue ?</source>
        <translation>L&apos;aggiornamento verrà provato su una copia del database %1, ricavata dal backup verificato più recente.
Il database stesso non viene modificato. Ci vuole circa quanto un ripristino e l&apos;aggiornamento.
Continuare ?</translation>
    </message>
    <message>
        <source>Run the update on a copy of the database and time each step</source>
        <translation>Esegue l&apos;aggiornamento su una copia del database e misura la durata di ogni passo</translation>
    </message>
    <message>
        <source>The newest backup does not match its checksum file.
No backup file was removed: make a new backup first.</source>
        <translation>Il backup più recente non corrisponde al suo file di checksum.
Nessun file di backup è stato rimosso: eseguire prima un nuovo backup.</translation>
    </message>
    <message>
        <source>These connections to the database cannot be ended by this program:
%1
Close them and start the restore again.
The database restore was aborted.</source>
        <translation>Questo programma non può terminare queste connessioni al database:
%1
Chiudetele e avviate di nuovo il ripristino.
Il ripristino del database è stato interrotto.</translation>
    </message>
</context>
<context>
    <name>KivDataBaseUpdaterClass</name>
    <message>
        <source>KivDataBaseUpdater</source>
        <translation>KivDataBaseUpdater</translation>
    </message>
    <message>
        <source>Database Version</source>
        <translation>Versione database</translation>
    </message>
    <message>
        <source>Current Version</source>
        <translation>Versione attuale</translation>
    </message>
    <message>
        <source>Db Version</source>
        <translation>Versione Db</translation>
    </message>
    <message>
        <source>Version After Update</source>
        <translation>Versione dopo l&apos;aggiornamento</translation>
    </message>
    <message>
        <source>New Db Version</source>
        <translation>Nuova versione Db</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>S&amp;trumenti</translation>
    </message>
    <message>
        <source>?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Esci</translation>
    </message>
    <message>
        <source>Close the program</source>
        <translation>Chiude il programma</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>&amp;Program Configuration</source>
        <translation>&amp;Configurazione programma</translation>
    </message>
    <message>
        <source>Program Configuration</source>
        <translation>Configurazione programma</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Informazioni</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Database Creation</source>
        <translation>Creazione &amp;database</translation>
    </message>
    <message>
        <source>Create a new database</source>
        <translation>Crea un nuovo database</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Database &amp;Backup</source>
        <translation>&amp;Backup database</translation>
    </message>
    <message>
        <source>Database Backup</source>
        <translation>Backup database</translation>
    </message>
    <message>
        <source>Ctrl+B</source>
        <translation>Ctrl+B</translation>
    </message>
    <message>
        <source>Database &amp;Restore</source>
        <translation>&amp;Ripristino database</translation>
    </message>
    <message>
        <source>Database Restore</source>
        <translation>Ripristino database</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>&amp;Clean Database Backup</source>
        <translation>&amp;Pulizia backup database</translation>
    </message>
    <message>
        <source>Clean Database Backup</source>
        <translation>Pulizia backup database</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>&amp;Force Database Version</source>
        <translation>&amp;Forza versione database</translation>
    </message>
    <message>
        <source>Force Database Version</source>
        <translation>Forza versione database</translation>
    </message>
    <message>
        <source>&amp;Start Update</source>
        <translation>&amp;Avvia aggiornamento</translation>
    </message>
    <message>
        <source>Chec&amp;k Database</source>
        <translation>&amp;Verifica database</translation>
    </message>
    <message>
        <source>Check Database</source>
        <translation>Verifica database</translation>
    </message>
    <message>
        <source>Re&amp;hearse Update</source>
        <translation>&amp;Prova aggiornamento</translation>
    </message>
    <message>
        <source>Rehearse Update</source>
        <translation>Prova aggiornamento</translation>
    </message>
</context>
<context>
    <name>OpenDataBase</name>
    <message>
        <source>An error has occurred during the connection to the DataBase.
Would you change the parameters used for the connection ?</source>
        <translation>Si è verificato un errore durante la connessione al database.
Modificare i parametri utilizzati per la connessione?</translation>
    </message>
</context>
<context>
    <name>Rehearsal</name>
    <message>
        <source>There is no verified backup to rehearse the update on.
Make a backup first.</source>
        <translation>Non c&apos;è un backup verificato su cui provare l&apos;aggiornamento.
Eseguire prima un backup.</translation>
    </message>
    <message>
        <source>The copy of the database for the rehearsal could not be made.</source>
        <translation>Non è stato possibile creare la copia del database per la prova.</translation>
    </message>
    <message>
        <source>The copy reports version %1: there is no step to rehearse.</source>
        <translation>La copia riporta la versione %1: non c&apos;è alcun passo da provare.</translation>
    </message>
    <message>
        <source>The update from version %1 to %2 succeeded on the copy of the database.</source>
        <translation>L&apos;aggiornamento dalla versione %1 alla %2 è riuscito sulla copia del database.</translation>
    </message>
    <message>
        <source>The step to version %1 failed on the copy of the database.
The log names the cause.</source>
        <translation>Il passo alla versione %1 è fallito sulla copia del database.
Il log ne indica la causa.</translation>
    </message>
    <message>
        <source>The update could not run on the copy of the database.
The log names the cause.</source>
        <translation>Non è stato possibile eseguire l&apos;aggiornamento sulla copia del database.
Il log ne indica la causa.</translation>
    </message>
</context>
<context>
    <name>UICheckDatabase</name>
    <message>
        <source>Check Database</source>
        <translation>Verifica database</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <source>Object</source>
        <translation>Oggetto</translation>
    </message>
    <message>
        <source>Expected</source>
        <translation>Atteso</translation>
    </message>
    <message>
        <source>Found</source>
        <translation>Trovato</translation>
    </message>
    <message>
        <source>extension</source>
        <translation>estensione</translation>
    </message>
    <message>
        <source>table</source>
        <translation>tabella</translation>
    </message>
    <message>
        <source>column</source>
        <translation>colonna</translation>
    </message>
    <message>
        <source>constraint</source>
        <translation>vincolo</translation>
    </message>
    <message>
        <source>index</source>
        <translation>indice</translation>
    </message>
    <message>
        <source>trigger</source>
        <translation>trigger</translation>
    </message>
    <message>
        <source>sequence</source>
        <translation>sequenza</translation>
    </message>
    <message>
        <source>view</source>
        <translation>vista</translation>
    </message>
    <message>
        <source>materialized view</source>
        <translation>vista materializzata</translation>
    </message>
    <message>
        <source>function</source>
        <translation>funzione</translation>
    </message>
    <message>
        <source>procedure</source>
        <translation>procedura</translation>
    </message>
    <message>
        <source>aggregate</source>
        <translation>aggregato</translation>
    </message>
    <message>
        <source>The database differs from the schema expected at version %1.</source>
        <translation>Il database differisce dallo schema atteso per la versione %1.</translation>
    </message>
    <message>
        <source>No differences from the schema expected at version %1. The database also has objects of its own, which are not counted as drift.</source>
        <translation>Nessuna differenza dallo schema atteso per la versione %1. Il database ha anche oggetti propri, che non contano come deviazione.</translation>
    </message>
    <message>
        <source>No differences from the schema expected at version %1.</source>
        <translation>Nessuna differenza dallo schema atteso per la versione %1.</translation>
    </message>
    <message>
        <source>The database reports no version: no comparison is possible.</source>
        <translation>Il database non riporta alcuna versione: nessun confronto è possibile.</translation>
    </message>
    <message>
        <source>The database reports version %1, for which no expected schema is known: no comparison is possible.</source>
        <translation>Il database riporta la versione %1, per la quale non è noto alcuno schema atteso: nessun confronto è possibile.</translation>
    </message>
    <message>
        <source>Unable to check the database: %1</source>
        <translation>Impossibile verificare il database: %1</translation>
    </message>
    <message>
        <source>Missing (%1)</source>
        <translation>Mancanti (%1)</translation>
    </message>
    <message>
        <source>Changed (%1)</source>
        <translation>Modificati (%1)</translation>
    </message>
    <message>
        <source>Extra, not counted as drift (%1)</source>
        <translation>In più, non contano come deviazione (%1)</translation>
    </message>
</context>
<context>
    <name>UICnfPageDataBase</name>
    <message>
        <source>Connection String</source>
        <translation>Stringa di connessione</translation>
    </message>
    <message>
        <source>Edit the database name</source>
        <translation>Modifica il nome del database</translation>
    </message>
    <message>
        <source>Edit the port number</source>
        <translation>Modifica il numero di porta</translation>
    </message>
    <message>
        <source>Timeout (seconds)</source>
        <translation>Timeout (secondi)</translation>
    </message>
    <message>
        <source>The field Server must be correctly filled.</source>
        <translation>Il campo Server deve essere compilato correttamente.</translation>
    </message>
    <message>
        <source>The field Database must be correctly filled.</source>
        <translation>Il campo Database deve essere compilato correttamente.</translation>
    </message>
    <message>
        <source>The field Port Number must be correctly filled.</source>
        <translation>Il campo Numero di porta deve essere compilato correttamente.</translation>
    </message>
    <message>
        <source>The field Connection Timeout must be correctly filled.</source>
        <translation>Il campo Timeout connessione deve essere compilato correttamente.</translation>
    </message>
    <message>
        <source>Test successfully executed.</source>
        <translation>Test eseguito con successo.</translation>
    </message>
    <message>
        <source>Unable to establish a database connection.</source>
        <translation>Impossibile stabilire una connessione al database.</translation>
    </message>
    <message>
        <source>&amp;Server</source>
        <translation>&amp;Server</translation>
    </message>
    <message>
        <source>&amp;Database</source>
        <translation>&amp;Database</translation>
    </message>
    <message>
        <source>&amp;Port Number</source>
        <translation>Numero di &amp;porta</translation>
    </message>
    <message>
        <source>Connection &amp;Test</source>
        <translation>&amp;Test connessione</translation>
    </message>
    <message>
        <source>Connection T&amp;imeout</source>
        <translation>T&amp;imeout connessione</translation>
    </message>
</context>
<context>
    <name>UICnfPageLanguage</name>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Lingua</translation>
    </message>
</context>
<context>
    <name>UICnfPageLogFile</name>
    <message>
        <source>Log File Parameter</source>
        <translation>Parametri file di log</translation>
    </message>
    <message>
        <source>The field File Dimension must be correctly filled.</source>
        <translation>Il campo Dimensione file deve essere compilato correttamente.</translation>
    </message>
    <message>
        <source>&amp;File Dimension (in MB)</source>
        <translation>Dimensione &amp;file (in MB)</translation>
    </message>
    <message>
        <source>&amp;Database Log</source>
        <translation>Log &amp;database</translation>
    </message>
    <message>
        <source>De&amp;vice Log</source>
        <translation>Log di&amp;spositivo</translation>
    </message>
</context>
<context>
    <name>UICnfPageVarie</name>
    <message>
        <source>File System</source>
        <translation>File system</translation>
    </message>
    <message>
        <source>Select Directory</source>
        <translation>Seleziona cartella</translation>
    </message>
    <message>
        <source>Process</source>
        <translation>Processo</translation>
    </message>
    <message>
        <source>Database Backup</source>
        <translation>Backup database</translation>
    </message>
    <message>
        <source>1 Month</source>
        <translation>1 mese</translation>
    </message>
    <message>
        <source>3 Months</source>
        <translation>3 mesi</translation>
    </message>
    <message>
        <source>6 Months</source>
        <translation>6 mesi</translation>
    </message>
    <message>
        <source>9 Months</source>
        <translation>9 mesi</translation>
    </message>
    <message>
        <source>1 Year</source>
        <translation>1 anno</translation>
    </message>
    <message>
        <source>2 Years</source>
        <translation>2 anni</translation>
    </message>
    <message>
        <source>The field Timeout must be correctly filled.</source>
        <translation>Il campo Timeout deve essere compilato correttamente.</translation>
    </message>
    <message>
        <source>Database &amp;Server Path</source>
        <translation>Percorso &amp;server database</translation>
    </message>
    <message>
        <source>&amp;Timeout (seconds)</source>
        <translation>&amp;Timeout (secondi)</translation>
    </message>
    <message>
        <source>Database &amp;backup validity days</source>
        <translation>Validità dei &amp;backup del database</translation>
    </message>
    <message>
        <source>Back up before &amp;update</source>
        <translation>Backup prima dell&apos;&amp;aggiornamento</translation>
    </message>
</context>
<context>
    <name>UICnfProgram</name>
    <message>
        <source>Program Configuration</source>
        <translation>Configurazione programma</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Database</source>
        <translation>Database</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message>
        <source>Log File</source>
        <translation>File di log</translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation>Varie</translation>
    </message>
    <message>
        <source>The data has been modified. Continue anyway ?</source>
        <translation>I dati sono stati modificati. Continuare comunque?</translation>
    </message>
    <message>
        <source>Unable to save the configuration.</source>
        <translation>Impossibile salvare la configurazione.</translation>
    </message>
</context>
<context>
    <name>UICreateDb</name>
    <message>
        <source>Create a new database</source>
        <translation>Crea un nuovo database</translation>
    </message>
    <message>
        <source>New Database</source>
        <translation>Nuovo database</translation>
    </message>
    <message>
        <source>Database &amp;Name</source>
        <translation>&amp;Nome database</translation>
    </message>
    <message>
        <source>Edit the database name</source>
        <translation>Modifica il nome del database</translation>
    </message>
    <message>
        <source>You must insert the database name correctly.</source>
        <translation>Inserire correttamente il nome del database.</translation>
    </message>
    <message>
        <source>Are you sure you want to create a new database with name %1 ?</source>
        <translation>Creare un nuovo database con il nome %1?</translation>
    </message>
    <message>
        <source>The database %1 was created with success.</source>
        <translation>Il database %1 è stato creato con successo.</translation>
    </message>
    <message>
        <source>Unable to create the database %1.</source>
        <translation>Impossibile creare il database %1.</translation>
    </message>
</context>
<context>
    <name>UIForceDbVersion</name>
    <message>
        <source>Force Database Version</source>
        <translation>Forza versione database</translation>
    </message>
    <message>
        <source>New Database Version</source>
        <translation>Nuova versione del database</translation>
    </message>
    <message>
        <source>Database &amp;Version</source>
        <translation>&amp;Versione database</translation>
    </message>
    <message>
        <source>Are you sure you want to force the database to version %1 ?</source>
        <translation>Forzare il database alla versione %1?</translation>
    </message>
</context>
<context>
    <name>UIRehearsal</name>
    <message>
        <source>Rehearse update</source>
        <translation>Prova aggiornamento</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Versione</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Durata</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Risultato</translation>
    </message>
    <message>
        <source>Copy made from the backup %1</source>
        <translation>Copia ricavata dal backup %1</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>Succeeded</source>
        <translation>Riuscito</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fallito</translation>
    </message>
    <message>
        <source>The schema of the copy matches its version.</source>
        <translation>Lo schema della copia corrisponde alla sua versione.</translation>
    </message>
    <message>
        <source>The schema of the copy differs from its version (differences: %1). Tools &gt; Check Database lists them.</source>
        <translation>Lo schema della copia differisce dalla sua versione (differenze: %1). Strumenti &gt; Verifica database le elenca.</translation>
    </message>
</context>
</TS>
