<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Database update</name>
    <message>
        <source>Encrypting data</source>
        <translation>Chiffrement des données</translation>
    </message>
</context>
<context>
    <name>DatabaseBackup</name>
    <message>
        <source>Database backup</source>
        <translation>Sauvegarde de la base de données</translation>
    </message>
    <message>
        <source>Database restore</source>
        <translation>Restauration de la base de données</translation>
    </message>
    <message>
        <source>%1
Elapsed time: %2
%3</source>
        <translation>%1
Temps écoulé&#xa0;: %2
%3</translation>
    </message>
</context>
<context>
    <name>Initialization</name>
    <message>
        <source>The application is already running !</source>
        <translation>L&apos;application est déjà en cours d&apos;exécution&#xa0;!</translation>
    </message>
</context>
<context>
    <name>KivDataBaseUpdater</name>
    <message>
        <source>The database is up to date.</source>
        <translation>La base de données est à jour.</translation>
    </message>
    <message>
        <source>This program can&apos;t update di current database.
Use a newer version of the program and retry.</source>
        <translation>Ce programme ne peut pas mettre à jour la base de données actuelle.
Utilisez une version plus récente du programme et réessayez.</translation>
    </message>
    <message>
        <source>Error during database update.</source>
        <translation>Erreur lors de la mise à jour de la base de données.</translation>
    </message>
    <message>
        <source>Database update performed with success.</source>
        <translation>La mise à jour de la base de données a réussi.</translation>
    </message>
    <message>
        <source>The datasase was not updated.
Are you sure you want to exit ?</source>
        <translation>La base de données n&apos;a pas été mise à jour.
Voulez-vous vraiment quitter le programme&#xa0;?</translation>
    </message>
    <message>
        <source>Close the program</source>
        <translation>Ferme le programme</translation>
    </message>
    <message>
        <source>Program Configuration</source>
        <translation>Configuration du programme</translation>
    </message>
    <message>
        <source>Backup database</source>
        <translation>Sauvegarde la base de données</translation>
    </message>
    <message>
        <source>Restore database</source>
        <translation>Restaure la base de données à partir d&apos;une sauvegarde</translation>
    </message>
    <message>
        <source>Create a new database</source>
        <translation>Crée une nouvelle base de données</translation>
    </message>
    <message>
        <source>Clean database backup</source>
        <translation>Supprime les anciennes sauvegardes de la base de données</translation>
    </message>
    <message>
        <source>Show the about window</source>
        <translation>Affiche les informations sur le programme</translation>
    </message>
    <message>
        <source>Postgresql not installed.</source>
        <translation>PostgreSQL n&apos;est pas installé.</translation>
    </message>
    <message>
        <source>Database update</source>
        <translation>Mise à jour de la base de données</translation>
    </message>
    <message>
        <source>Database creation and update</source>
        <translation>Création et mise à jour de la base de données</translation>
    </message>
    <message>
        <source>Unable to find the backup program.
The database backup was aborted.</source>
        <translation>Programme de sauvegarde introuvable.
La sauvegarde de la base de données a été interrompue.</translation>
    </message>
    <message>
        <source>Unable to start the backup program.
The database backup was aborted.</source>
        <translation>Impossible de lancer le programme de sauvegarde.
La sauvegarde de la base de données a été interrompue.</translation>
    </message>
    <message>
        <source>Error during the backup process.
The database backup was aborted.</source>
        <translation>Erreur pendant la sauvegarde.
La sauvegarde de la base de données a été interrompue.</translation>
    </message>
    <message>
        <source>Backup successfully executed.</source>
        <translation>Sauvegarde réussie.</translation>
    </message>
    <message>
        <source>Unable to find the restore program.
The database restore was aborted.</source>
        <translation>Programme de restauration introuvable.
La restauration de la base de données a été interrompue.</translation>
    </message>
    <message>
        <source>Unable to start the restore program.
The database restore was aborted.</source>
        <translation>Impossible de lancer le programme de restauration.
La restauration de la base de données a été interrompue.</translation>
    </message>
    <message>
        <source>Error during the restore process.
The database restore was aborted.</source>
        <translation>Erreur pendant la restauration.
La restauration de la base de données a été interrompue.</translation>
    </message>
    <message>
        <source>Restore successfully executed.</source>
        <translation>Restauration réussie.</translation>
    </message>
    <message>
        <source>Are you sure you want to backup the database %1 ?</source>
        <translation>Voulez-vous vraiment sauvegarder la base de données %1&#xa0;?</translation>
    </message>
    <message>
        <source>Are you sure you want to restore the database %1 ?</source>
        <translation>Voulez-vous vraiment restaurer la base de données %1&#xa0;?</translation>
    </message>
    <message>
        <source>This process will clean the database backup.
Continue ?</source>
        <translation>Cette opération va supprimer les anciennes sauvegardes de la base de données.
Continuer&#xa0;?</translation>
    </message>
    <message>
        <source>Select backup file</source>
        <translation>Sélectionner le fichier de sauvegarde</translation>
    </message>
    <message>
        <source>Backup files (*.tar);;All Files (*)</source>
        <translation>Fichiers de sauvegarde (*.tar);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Restore database: Unable to termiante the database activity.</source>
        <translation>Restauration de la base de données&#xa0;: impossible de mettre fin à l&apos;activité de la base de données.</translation>
    </message>
    <message>
        <source>Restore database: Unable to create the database.</source>
        <translation>Restauration de la base de données&#xa0;: impossible de créer la base de données.</translation>
    </message>
    <message>
        <source>The backup file is incomplete or damaged.
The database restore was aborted.</source>
        <translation>Le fichier de sauvegarde est incomplet ou endommagé.
La restauration de la base de données a été interrompue.</translation>
    </message>
    <message>
        <source>Clean database backup file process completed.</source>
        <translation>Nettoyage des fichiers de sauvegarde de la base de données terminé.</translation>
    </message>
    <message>
        <source>The backup before the update failed.
The database update was not started.</source>
        <translation>La sauvegarde avant la mise à jour a échoué.
La mise à jour de la base de données n&apos;a pas été lancée.</translation>
    </message>
    <message>
        <source>Compare the database schema with the schema of its version</source>
        <translation>Compare le schéma de la base de données avec le schéma de sa version</translation>
    </message>
    <message>
        <source>The backup program does not fit the database server:
%1
The database backup was aborted.</source>
        <translation>Le programme de sauvegarde ne convient pas au serveur de la base de données :
%1
La sauvegarde de la base de données a été interrompue.</translation>
    </message>
    <message>
        <source>The restore program does not fit this backup or the database server:
%1
The database restore was aborted.</source>
        <translation>Le programme de restauration ne convient pas à cette sauvegarde ou au serveur de la base de données :
%1
La restauration de la base de données a été interrompue.</translation>
    </message>
    <message>
        <source>The restored data could not take the place of the database %1, which keeps its data as before.
The database restore was aborted.</source>
        <translation>Les données restaurées n&apos;ont pas pu remplacer la base de données %1, qui garde ses données comme avant.
La restauration de la base de données a été interrompue.</translation>
    </message>
    <message>
        <source>The database %1 could not be put back under its name: its data is in the database %2, the restored data in the database %3.
No data was deleted. Call the service engineer.</source>
        <translation>La base de données %1 n&apos;a pas pu reprendre son nom : ses données sont dans la base de données %2, les données restaurées dans la base de données %3.
Aucune donnée n&apos;a été supprimée. Appelez le technicien de maintenance.</translation>
    </message>
    <message>
        <source>These connections to the database will be ended:
%1</source>
        <translation>Ces connexions à la base de données seront fermées :
%1</translation>
    </message>
    <message>
        <source>The update will be rehearsed on a copy of the database %1, made from the newest verified backup.
The database itself is not changed. This takes about as long as a restore and the update.
Continue ?</source>
        <translation>La mise à jour sera répétée sur une copie de la base de données %1, faite à partir de la dernière sauvegarde vérifiée.
La base de données elle-même n&apos;est pas modifiée. Cela dure environ autant qu&apos;une restauration et la mise à jour.
Continuer ?</translation>
    </message>
    <message>
        <source>Run the update on a copy of the database and time each step</source>
        <translation>Exécute la mise à jour sur une copie de la base de données et mesure chaque étape</translation>
    </message>
    <message>
        <source>The newest backup does not match its checksum file.
No backup file was removed: make a new backup first.</source>
        <translation>La sauvegarde la plus récente ne correspond pas à son fichier de somme de contrôle.
Aucun fichier de sauvegarde n&apos;a été supprimé : faites d&apos;abord une nouvelle sauvegarde.</translation>
    </message>
    <message>
        <source>These connections to the database cannot be ended by this program:
%1
Close them and start the restore again.
The database restore was aborted.</source>
        <translation>Ce programme ne peut pas mettre fin à ces connexions à la base de données :
%1
Fermez-les et relancez la restauration.
La restauration de la base de données a été interrompue.</translation>
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
        <translation>Version de la base de données</translation>
    </message>
    <message>
        <source>Current Version</source>
        <translation>Version actuelle</translation>
    </message>
    <message>
        <source>Db Version</source>
        <translation>Version BD</translation>
    </message>
    <message>
        <source>Version After Update</source>
        <translation>Version après la mise à jour</translation>
    </message>
    <message>
        <source>New Db Version</source>
        <translation>Nouvelle version BD</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Outils</translation>
    </message>
    <message>
        <source>?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Close the program</source>
        <translation>Ferme le programme</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>&amp;Program Configuration</source>
        <translation>&amp;Configuration du programme</translation>
    </message>
    <message>
        <source>Program Configuration</source>
        <translation>Configuration du programme</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Database Creation</source>
        <translation>Création de la base de &amp;données</translation>
    </message>
    <message>
        <source>Create a new database</source>
        <translation>Crée une nouvelle base de données</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Database &amp;Backup</source>
        <translation>&amp;Sauvegarde de la base de données</translation>
    </message>
    <message>
        <source>Database Backup</source>
        <translation>Sauvegarde de la base de données</translation>
    </message>
    <message>
        <source>Ctrl+B</source>
        <translation>Ctrl+B</translation>
    </message>
    <message>
        <source>Database &amp;Restore</source>
        <translation>&amp;Restauration de la base de données</translation>
    </message>
    <message>
        <source>Database Restore</source>
        <translation>Restauration de la base de données</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>&amp;Clean Database Backup</source>
        <translation>&amp;Nettoyage des sauvegardes</translation>
    </message>
    <message>
        <source>Clean Database Backup</source>
        <translation>Nettoyage des sauvegardes de la base de données</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>&amp;Force Database Version</source>
        <translation>&amp;Forcer la version de la base de données</translation>
    </message>
    <message>
        <source>Force Database Version</source>
        <translation>Forcer la version de la base de données</translation>
    </message>
    <message>
        <source>&amp;Start Update</source>
        <translation>&amp;Démarrer la mise à jour</translation>
    </message>
    <message>
        <source>Chec&amp;k Database</source>
        <translation>&amp;Vérification de la base de données</translation>
    </message>
    <message>
        <source>Check Database</source>
        <translation>Vérification de la base de données</translation>
    </message>
    <message>
        <source>Re&amp;hearse Update</source>
        <translation>&amp;Répéter la mise à jour</translation>
    </message>
    <message>
        <source>Rehearse Update</source>
        <translation>Répéter la mise à jour</translation>
    </message>
</context>
<context>
    <name>OpenDataBase</name>
    <message>
        <source>An error has occurred during the connection to the DataBase.
Would you change the parameters used for the connection ?</source>
        <translation>Une erreur s&apos;est produite lors de la connexion à la base de données.
Voulez-vous modifier les paramètres de connexion&#xa0;?</translation>
    </message>
</context>
<context>
    <name>Rehearsal</name>
    <message>
        <source>There is no verified backup to rehearse the update on.
Make a backup first.</source>
        <translation>Il n&apos;y a aucune sauvegarde vérifiée sur laquelle répéter la mise à jour.
Faites d&apos;abord une sauvegarde.</translation>
    </message>
    <message>
        <source>The copy of the database for the rehearsal could not be made.</source>
        <translation>La copie de la base de données pour la répétition n&apos;a pas pu être faite.</translation>
    </message>
    <message>
        <source>The copy reports version %1: there is no step to rehearse.</source>
        <translation>La copie indique la version %1 : il n&apos;y a aucune étape à répéter.</translation>
    </message>
    <message>
        <source>The update from version %1 to %2 succeeded on the copy of the database.</source>
        <translation>La mise à jour de la version %1 à la %2 a réussi sur la copie de la base de données.</translation>
    </message>
    <message>
        <source>The step to version %1 failed on the copy of the database.
The log names the cause.</source>
        <translation>L&apos;étape vers la version %1 a échoué sur la copie de la base de données.
Le journal en indique la cause.</translation>
    </message>
    <message>
        <source>The update could not run on the copy of the database.
The log names the cause.</source>
        <translation>La mise à jour n&apos;a pas pu s&apos;exécuter sur la copie de la base de données.
Le journal en indique la cause.</translation>
    </message>
</context>
<context>
    <name>UICheckDatabase</name>
    <message>
        <source>Check Database</source>
        <translation>Vérification de la base de données</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Object</source>
        <translation>Objet</translation>
    </message>
    <message>
        <source>Expected</source>
        <translation>Attendu</translation>
    </message>
    <message>
        <source>Found</source>
        <translation>Trouvé</translation>
    </message>
    <message>
        <source>extension</source>
        <translation>extension</translation>
    </message>
    <message>
        <source>table</source>
        <translation>table</translation>
    </message>
    <message>
        <source>column</source>
        <translation>colonne</translation>
    </message>
    <message>
        <source>constraint</source>
        <translation>contrainte</translation>
    </message>
    <message>
        <source>index</source>
        <translation>index</translation>
    </message>
    <message>
        <source>trigger</source>
        <translation>déclencheur</translation>
    </message>
    <message>
        <source>sequence</source>
        <translation>séquence</translation>
    </message>
    <message>
        <source>view</source>
        <translation>vue</translation>
    </message>
    <message>
        <source>materialized view</source>
        <translation>vue matérialisée</translation>
    </message>
    <message>
        <source>function</source>
        <translation>fonction</translation>
    </message>
    <message>
        <source>procedure</source>
        <translation>procédure</translation>
    </message>
    <message>
        <source>aggregate</source>
        <translation>agrégat</translation>
    </message>
    <message>
        <source>The database differs from the schema expected at version %1.</source>
        <translation>La base de données diffère du schéma attendu pour la version %1.</translation>
    </message>
    <message>
        <source>No differences from the schema expected at version %1. The database also has objects of its own, which are not counted as drift.</source>
        <translation>Aucune différence avec le schéma attendu pour la version %1. La base de données a aussi ses propres objets, qui ne comptent pas comme une dérive.</translation>
    </message>
    <message>
        <source>No differences from the schema expected at version %1.</source>
        <translation>Aucune différence avec le schéma attendu pour la version %1.</translation>
    </message>
    <message>
        <source>The database reports no version: no comparison is possible.</source>
        <translation>La base de données n&apos;indique aucune version : aucune comparaison n&apos;est possible.</translation>
    </message>
    <message>
        <source>The database reports version %1, for which no expected schema is known: no comparison is possible.</source>
        <translation>La base de données indique la version %1, pour laquelle aucun schéma attendu n&apos;est connu : aucune comparaison n&apos;est possible.</translation>
    </message>
    <message>
        <source>Unable to check the database: %1</source>
        <translation>Impossible de vérifier la base de données : %1</translation>
    </message>
    <message>
        <source>Missing (%1)</source>
        <translation>Manquants (%1)</translation>
    </message>
    <message>
        <source>Changed (%1)</source>
        <translation>Modifiés (%1)</translation>
    </message>
    <message>
        <source>Extra, not counted as drift (%1)</source>
        <translation>En plus, non comptés comme dérive (%1)</translation>
    </message>
</context>
<context>
    <name>UICnfPageDataBase</name>
    <message>
        <source>Connection String</source>
        <translation>Chaîne de connexion</translation>
    </message>
    <message>
        <source>Edit the database name</source>
        <translation>Modifier le nom de la base de données</translation>
    </message>
    <message>
        <source>Edit the port number</source>
        <translation>Modifier le numéro de port</translation>
    </message>
    <message>
        <source>Timeout (seconds)</source>
        <translation>Délai d&apos;attente (secondes)</translation>
    </message>
    <message>
        <source>The field Server must be correctly filled.</source>
        <translation>Le champ Serveur doit être correctement renseigné.</translation>
    </message>
    <message>
        <source>The field Database must be correctly filled.</source>
        <translation>Le champ Base de données doit être correctement renseigné.</translation>
    </message>
    <message>
        <source>The field Port Number must be correctly filled.</source>
        <translation>Le champ Numéro de port doit être correctement renseigné.</translation>
    </message>
    <message>
        <source>The field Connection Timeout must be correctly filled.</source>
        <translation>Le champ Délai de connexion doit être correctement renseigné.</translation>
    </message>
    <message>
        <source>Test successfully executed.</source>
        <translation>Test réussi.</translation>
    </message>
    <message>
        <source>Unable to establish a database connection.</source>
        <translation>Impossible d&apos;établir une connexion à la base de données.</translation>
    </message>
    <message>
        <source>&amp;Server</source>
        <translation>&amp;Serveur</translation>
    </message>
    <message>
        <source>&amp;Database</source>
        <translation>&amp;Base de données</translation>
    </message>
    <message>
        <source>&amp;Port Number</source>
        <translation>Numéro de &amp;port</translation>
    </message>
    <message>
        <source>Connection &amp;Test</source>
        <translation>&amp;Tester la connexion</translation>
    </message>
    <message>
        <source>Connection T&amp;imeout</source>
        <translation>&amp;Délai de connexion</translation>
    </message>
</context>
<context>
    <name>UICnfPageLanguage</name>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Langue</translation>
    </message>
</context>
<context>
    <name>UICnfPageLogFile</name>
    <message>
        <source>Log File Parameter</source>
        <translation>Paramètres du fichier journal</translation>
    </message>
    <message>
        <source>The field File Dimension must be correctly filled.</source>
        <translation>Le champ Taille du fichier doit être correctement renseigné.</translation>
    </message>
    <message>
        <source>&amp;File Dimension (in MB)</source>
        <translation>&amp;Taille du fichier (en Mo)</translation>
    </message>
    <message>
        <source>&amp;Database Log</source>
        <translation>Journal de la &amp;base de données</translation>
    </message>
    <message>
        <source>De&amp;vice Log</source>
        <translation>Journal de l&apos;&amp;appareil</translation>
    </message>
</context>
<context>
    <name>UICnfPageVarie</name>
    <message>
        <source>File System</source>
        <translation>Système de fichiers</translation>
    </message>
    <message>
        <source>Select Directory</source>
        <translation>Sélectionner un dossier</translation>
    </message>
    <message>
        <source>Process</source>
        <translation>Processus</translation>
    </message>
    <message>
        <source>Database Backup</source>
        <translation>Sauvegarde de la base de données</translation>
    </message>
    <message>
        <source>1 Month</source>
        <translation>1 mois</translation>
    </message>
    <message>
        <source>3 Months</source>
        <translation>3 mois</translation>
    </message>
    <message>
        <source>6 Months</source>
        <translation>6 mois</translation>
    </message>
    <message>
        <source>9 Months</source>
        <translation>9 mois</translation>
    </message>
    <message>
        <source>1 Year</source>
        <translation>1 an</translation>
    </message>
    <message>
        <source>2 Years</source>
        <translation>2 ans</translation>
    </message>
    <message>
        <source>The field Timeout must be correctly filled.</source>
        <translation>Le champ Délai d&apos;attente doit être correctement renseigné.</translation>
    </message>
    <message>
        <source>Database &amp;Server Path</source>
        <translation>Chemin du &amp;serveur de base de données</translation>
    </message>
    <message>
        <source>&amp;Timeout (seconds)</source>
        <translation>&amp;Délai d&apos;attente (secondes)</translation>
    </message>
    <message>
        <source>Database &amp;backup validity days</source>
        <translation>Durée de &amp;conservation des sauvegardes</translation>
    </message>
    <message>
        <source>Back up before &amp;update</source>
        <translation>Sauvegarder avant la &amp;mise à jour</translation>
    </message>
</context>
<context>
    <name>UICnfProgram</name>
    <message>
        <source>Program Configuration</source>
        <translation>Configuration du programme</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Database</source>
        <translation>Base de données</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>Log File</source>
        <translation>Fichier journal</translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation>Divers</translation>
    </message>
    <message>
        <source>The data has been modified. Continue anyway ?</source>
        <translation>Les données ont été modifiées. Continuer quand même&#xa0;?</translation>
    </message>
    <message>
        <source>Unable to save the configuration.</source>
        <translation>Impossible d&apos;enregistrer la configuration.</translation>
    </message>
</context>
<context>
    <name>UICreateDb</name>
    <message>
        <source>Create a new database</source>
        <translation>Créer une nouvelle base de données</translation>
    </message>
    <message>
        <source>New Database</source>
        <translation>Nouvelle base de données</translation>
    </message>
    <message>
        <source>Database &amp;Name</source>
        <translation>&amp;Nom de la base de données</translation>
    </message>
    <message>
        <source>Edit the database name</source>
        <translation>Modifier le nom de la base de données</translation>
    </message>
    <message>
        <source>You must insert the database name correctly.</source>
        <translation>Veuillez saisir correctement le nom de la base de données.</translation>
    </message>
    <message>
        <source>Are you sure you want to create a new database with name %1 ?</source>
        <translation>Voulez-vous vraiment créer une nouvelle base de données nommée %1&#xa0;?</translation>
    </message>
    <message>
        <source>The database %1 was created with success.</source>
        <translation>La base de données %1 a été créée avec succès.</translation>
    </message>
    <message>
        <source>Unable to create the database %1.</source>
        <translation>Impossible de créer la base de données %1.</translation>
    </message>
</context>
<context>
    <name>UIForceDbVersion</name>
    <message>
        <source>Force Database Version</source>
        <translation>Forcer la version de la base de données</translation>
    </message>
    <message>
        <source>New Database Version</source>
        <translation>Nouvelle version de la base de données</translation>
    </message>
    <message>
        <source>Database &amp;Version</source>
        <translation>&amp;Version de la base de données</translation>
    </message>
    <message>
        <source>Are you sure you want to force the database to version %1 ?</source>
        <translation>Voulez-vous vraiment forcer la base de données à la version %1&#xa0;?</translation>
    </message>
</context>
<context>
    <name>UIRehearsal</name>
    <message>
        <source>Rehearse update</source>
        <translation>Répéter la mise à jour</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Résultat</translation>
    </message>
    <message>
        <source>Copy made from the backup %1</source>
        <translation>Copie faite à partir de la sauvegarde %1</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>Succeeded</source>
        <translation>Réussie</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Échouée</translation>
    </message>
    <message>
        <source>The schema of the copy matches its version.</source>
        <translation>Le schéma de la copie correspond à sa version.</translation>
    </message>
    <message>
        <source>The schema of the copy differs from its version (differences: %1). Tools &gt; Check Database lists them.</source>
        <translation>Le schéma de la copie diffère de sa version (différences : %1). Outils &gt; Vérification de la base de données les énumère.</translation>
    </message>
</context>
</TS>
