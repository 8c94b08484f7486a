<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>zel::app::ErrorMessage</name>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Database not found or corrupted</source>
        <translation>Base de données introuvable ou endommagée</translation>
    </message>
    <message>
        <source>Internal error - cannot start program</source>
        <translation>Erreur interne - impossible de démarrer le programme</translation>
    </message>
</context>
<context>
    <name>zel::app::GaugeBar</name>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
</context>
<context>
    <name>zel::app::ProductPanels</name>
    <message>
        <source>ZEL 2026 - Aroma Materials, their Stability &amp;&amp; Suppliers</source>
        <translation>ZEL 2026 - Matières premières aromatiques, leur stabilité &amp;&amp; leurs fournisseurs</translation>
    </message>
</context>
<context>
    <name>zel::app::Program</name>
    <message>
        <source>ZEL shows them, but keeps no change until it is started again.</source>
        <translation>ZEL les affiche, mais n&apos;enregistre aucune modification avant son prochain démarrage.</translation>
    </message>
    <message>
        <source>ZEL goes on without them.</source>
        <translation>ZEL continue sans elles.</translation>
    </message>
</context>
<context>
    <name>zel::app::SearchFeedback</name>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>There are no records with the specified criteria.<byte value="xd"/>Restore to all records.</source>
        <translation>Aucun enregistrement ne répond aux critères indiqués.<byte value="xd"/>Retour à tous les enregistrements.</translation>
    </message>
</context>
<context>
    <name>zel::app::TAboutBox</name>
    <message>
        <source>About ZEL</source>
        <translation>À propos de ZEL</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Version %1
Copyright 2026 The ZEL developers.
All rights reserved.</source>
        <translation>Version %1
Copyright 2026 Les développeurs de ZEL.
Tous droits réservés.</translation>
    </message>
</context>
<context>
    <name>zel::app::TIndexForm</name>
    <message>
        <source>Indexing database, please wait...</source>
        <translation>Indexation de la base de données, veuillez patienter...</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Fich. :</translation>
    </message>
    <message>
        <source>Index:</source>
        <translation>Index :</translation>
    </message>
</context>
<context>
    <name>zel::model::Datasets</name>
    <message>
        <source>Supplier name</source>
        <translation>Nom du fournisseur</translation>
    </message>
    <message>
        <source>Material name</source>
        <translation>Nom de la matière</translation>
    </message>
    <message>
        <source>Materials</source>
        <translation>Matières</translation>
    </message>
    <message>
        <source>Commercial name</source>
        <translation>Nom commercial</translation>
    </message>
    <message>
        <source>(Commercial name)</source>
        <translation>(Nom commercial)</translation>
    </message>
    <message>
        <source>Suppliers</source>
        <translation>Fournisseurs</translation>
    </message>
</context>
<context>
    <name>zel::model::NoteStore</name>
    <message>
        <source>Your notes in %1 cannot be changed (%2).</source>
        <translation>Vos notes dans %1 ne peuvent pas être modifiées (%2).</translation>
    </message>
    <message>
        <source>Your notes in %1 cannot be read (%2).</source>
        <translation>Vos notes dans %1 ne peuvent pas être lues (%2).</translation>
    </message>
</context>
<context>
    <name>zel::model::Reindex</name>
    <message>
        <source>Error indexing database<byte value="xd"/>Cannot delete old index files: </source>
        <translation>Erreur d&apos;indexation de la base de données<byte value="xd"/>Impossible de supprimer les anciens fichiers d&apos;index : </translation>
    </message>
    <message>
        <source>The empty commercial names in %1 were left as they are: the file belongs to another user, and writing it again would take it from them.</source>
        <translation>Les noms commerciaux vides de %1 ont été laissés tels quels : le fichier appartient à un autre utilisateur, et le réécrire le lui retirerait.</translation>
    </message>
    <message>
        <source>Cannot reindex file:</source>
        <translation>Impossible de réindexer le fichier :</translation>
    </message>
</context>
<context>
    <name>zel::model::StabilityMedia</name>
    <message>
        <source>pH  1:</source>
        <translation>pH  1:</translation>
    </message>
    <message>
        <source>pH  2:</source>
        <translation>pH  2:</translation>
    </message>
    <message>
        <source>pH  3:</source>
        <translation>pH  3:</translation>
    </message>
    <message>
        <source>pH  4:</source>
        <translation>pH  4:</translation>
    </message>
    <message>
        <source>pH  5:</source>
        <translation>pH  5:</translation>
    </message>
    <message>
        <source>pH  6:</source>
        <translation>pH  6:</translation>
    </message>
    <message>
        <source>pH  7:</source>
        <translation>pH  7:</translation>
    </message>
    <message>
        <source>pH  8:</source>
        <translation>pH  8:</translation>
    </message>
    <message>
        <source>pH  9:</source>
        <translation>pH  9:</translation>
    </message>
    <message>
        <source>pH 10:</source>
        <translation>pH 10:</translation>
    </message>
    <message>
        <source>pH 11:</source>
        <translation>pH 11:</translation>
    </message>
    <message>
        <source>pH 12:</source>
        <translation>pH 12:</translation>
    </message>
    <message>
        <source>Acid cleaner liquid:</source>
        <translation>Nett. acide liquide :</translation>
    </message>
    <message>
        <source>Acid cleaner solid:</source>
        <translation>Nett. acide solide :</translation>
    </message>
    <message>
        <source>Tile cleaner:</source>
        <translation>Nettoyant carrelage :</translation>
    </message>
    <message>
        <source>Cream rinse:</source>
        <translation>Après-shampooing :</translation>
    </message>
    <message>
        <source>Deo stick:</source>
        <translation>Déodorant stick :</translation>
    </message>
    <message>
        <source>Antiperspirant:</source>
        <translation>Antitranspirant :</translation>
    </message>
    <message>
        <source>Fabric softener:</source>
        <translation>Assouplissant :</translation>
    </message>
    <message>
        <source>Alcoholic lotion:</source>
        <translation>Lotion alcoolique :</translation>
    </message>
    <message>
        <source>Hand cream:</source>
        <translation>Crème mains :</translation>
    </message>
    <message>
        <source>Liquid detergent:</source>
        <translation>Lessive liquide :</translation>
    </message>
    <message>
        <source>Shampoo:</source>
        <translation>Shampooing :</translation>
    </message>
    <message>
        <source>Aerosol:</source>
        <translation>Aérosol :</translation>
    </message>
    <message>
        <source>Foam bath:</source>
        <translation>Bain moussant :</translation>
    </message>
    <message>
        <source>Bleaching agent:</source>
        <translation>Agent de blanchiment :</translation>
    </message>
    <message>
        <source>Talcum:</source>
        <translation>Talc :</translation>
    </message>
    <message>
        <source>Soap:</source>
        <translation>Savon :</translation>
    </message>
    <message>
        <source>Hard surface cleaner:</source>
        <translation>Nett. surfaces dures :</translation>
    </message>
    <message>
        <source>Detergent (+TAED):</source>
        <translation>Lessive (+TAED) :</translation>
    </message>
    <message>
        <source>Detergent (+Perbor.):</source>
        <translation>Lessive (+perbor.) :</translation>
    </message>
    <message>
        <source>Softergent:</source>
        <translation>Lessive adoucissante :</translation>
    </message>
    <message>
        <source>Cold wave:</source>
        <translation>Permanente à froid :</translation>
    </message>
</context>
<context>
    <name>zel::report::FormParts</name>
    <message>
        <source>ZEL – aroma materials reference data sheet</source>
        <translation>ZEL – fiche de référence des matières premières aromatiques</translation>
    </message>
</context>
<context>
    <name>zel::report::TPrintCompare</name>
    <message>
        <source>MATERIAL COMPARISON</source>
        <translation>COMPARAISON DE MATIÈRES</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Matière</translation>
    </message>
    <message>
        <source>STABILITY RECORD</source>
        <translation>STABILITÉ</translation>
    </message>
</context>
<context>
    <name>zel::report::TPrintMaterial</name>
    <message>
        <source>IDENTITY</source>
        <translation>IDENTITÉ</translation>
    </message>
    <message>
        <source>ODOUR DESCRIPTION</source>
        <translation>DESCRIPTION OLFACTIVE</translation>
    </message>
    <message>
        <source>PERFORMANCE</source>
        <translation>PERFORMANCE</translation>
    </message>
    <message>
        <source>APPLICATION</source>
        <translation>APPLICATION</translation>
    </message>
    <message>
        <source>LITERATURE</source>
        <translation>BIBLIOGRAPHIE</translation>
    </message>
    <message>
        <source>COMMERCIAL NAME / SYNONYM</source>
        <translation>NOM COMMERCIAL / SYNONYME</translation>
    </message>
    <message>
        <source>SUPPLIER</source>
        <translation>FOURNISSEUR</translation>
    </message>
    <message>
        <source>STABILITY RECORD</source>
        <translation>FICHE DE STABILITÉ</translation>
    </message>
    <message>
        <source>MY NOTES</source>
        <translation>MES NOTES</translation>
    </message>
    <message>
        <source>One of my favourites.</source>
        <translation>Un de mes favoris.</translation>
    </message>
</context>
<context>
    <name>zel::report::TPrintSupplier</name>
    <message>
        <source>ADDRESS</source>
        <translation>ADRESSE</translation>
    </message>
    <message>
        <source>MATERIALS</source>
        <translation>MATIÈRES</translation>
    </message>
    <message>
        <source>Page %1</source>
        <translation>Page %1</translation>
    </message>
</context>
<context>
    <name>zel::report::TRpProgressForm</name>
    <message>
        <source>Printing progress</source>
        <translation>Impression en cours</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>%1%  Completed</source>
        <translation>%1 %  terminé</translation>
    </message>
</context>
<context>
    <name>zel::report::TRpStandardPreview</name>
    <message>
        <source>Folium file</source>
        <translation>Fichier Folium</translation>
    </message>
    <message>
        <source>Print Preview</source>
        <translation>Aperçu avant impression</translation>
    </message>
    <message>
        <source>Zoom to fit</source>
        <translation>Page entière</translation>
    </message>
    <message>
        <source>100%</source>
        <translation>100 %</translation>
    </message>
    <message>
        <source>Zoom to width</source>
        <translation>Pleine largeur</translation>
    </message>
    <message>
        <source>First page</source>
        <translation>Première page</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>Page précédente</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>Page suivante</translation>
    </message>
    <message>
        <source>Last page</source>
        <translation>Dernière page</translation>
    </message>
    <message>
        <source>Printer setup</source>
        <translation>Configuration de l&apos;imprimante</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Imprimer</translation>
    </message>
    <message>
        <source>Export PDF</source>
        <translation>Exporter en PDF</translation>
    </message>
    <message>
        <source>Save Report</source>
        <translation>Enregistrer le rapport</translation>
    </message>
    <message>
        <source>Load Report</source>
        <translation>Ouvrir un rapport</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Page</translation>
    </message>
    <message>
        <source>No printer is installed</source>
        <translation>Aucune imprimante n&apos;est installée</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Page %1 sur %2</translation>
    </message>
    <message>
        <source>Save report</source>
        <translation>Enregistrer le rapport</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Load report</source>
        <translation>Ouvrir un rapport</translation>
    </message>
    <message>
        <source>File does not exist</source>
        <translation>Le fichier n&apos;existe pas</translation>
    </message>
    <message>
        <source>There are no pages to export</source>
        <translation>Il n&apos;y a aucune page à exporter</translation>
    </message>
    <message>
        <source>PDF file (*.pdf)</source>
        <translation>Fichier PDF (*.pdf)</translation>
    </message>
</context>
<context>
    <name>zel::ui::CommercialNamesPage</name>
    <message>
        <source>S&amp;earch name:</source>
        <translation>Rec&amp;h. nom :</translation>
    </message>
    <message>
        <source>CAS</source>
        <translation>CAS</translation>
    </message>
    <message>
        <source>Comm. name</source>
        <translation>Nom comm.</translation>
    </message>
    <message>
        <source>Supplier</source>
        <translation>Fournisseur</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Matière</translation>
    </message>
    <message>
        <source>Odour</source>
        <translation>Odeur</translation>
    </message>
    <message>
        <source>Performance</source>
        <translation>Performance</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>Literature</source>
        <translation>Littérature</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Détails</translation>
    </message>
</context>
<context>
    <name>zel::ui::ComparisonModel</name>
    <message>
        <source>Names</source>
        <translation>Noms</translation>
    </message>
    <message>
        <source>Odour</source>
        <translation>Odeur</translation>
    </message>
    <message>
        <source>Performance</source>
        <translation>Performance</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>Commercial names</source>
        <translation>Noms commerciaux</translation>
    </message>
    <message>
        <source>The ratings differ in this medium</source>
        <translation>Les notes diffèrent dans ce milieu</translation>
    </message>
</context>
<context>
    <name>zel::ui::HelpWindow</name>
    <message>
        <source>ZEL Help</source>
        <translation>Aide de ZEL</translation>
    </message>
</context>
<context>
    <name>zel::ui::MainSession</name>
    <message>
        <source>No database is open</source>
        <translation>Aucune base de données n&apos;est ouverte</translation>
    </message>
    <message>
        <source>List of all materials (%1)</source>
        <translation>Liste de toutes les matières (%L1)</translation>
    </message>
    <message>
        <source>%1 materials selected</source>
        <translation>%L1 matières sélectionnées</translation>
    </message>
    <message>
        <source> - sorted by CAS</source>
        <translation> - triée par CAS</translation>
    </message>
    <message>
        <source>No materials</source>
        <translation>Aucune matière</translation>
    </message>
    <message>
        <source>1 material</source>
        <translation>1 matière</translation>
    </message>
    <message>
        <source>%1 materials</source>
        <translation>%L1 matières</translation>
    </message>
    <message>
        <source>%1 from: %2</source>
        <translation>%1 chez : %2</translation>
    </message>
    <message>
        <source>%1 materials of the shortlist %2</source>
        <translation>%L1 matières de la sélection %2</translation>
    </message>
</context>
<context>
    <name>zel::ui::MaterialsPage</name>
    <message>
        <source>S&amp;earch name:</source>
        <translation>Rec&amp;h. nom :</translation>
    </message>
    <message>
        <source>CAS</source>
        <translation>CAS</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Matière</translation>
    </message>
    <message>
        <source>Odour</source>
        <translation>Odeur</translation>
    </message>
    <message>
        <source>Performance</source>
        <translation>Performance</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>Literature</source>
        <translation>Littérature</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Détails</translation>
    </message>
    <message>
        <source>Supplier</source>
        <translation>Fournisseur</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>City</source>
        <translation>Ville</translation>
    </message>
    <message>
        <source>Country</source>
        <translation>Pays</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Téléphone</translation>
    </message>
    <message>
        <source>Suppliers</source>
        <translation>Fournisseurs</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notes</translation>
    </message>
</context>
<context>
    <name>zel::ui::NotesSheet</name>
    <message>
        <source>Your own note on this material</source>
        <translation>Votre note sur cette matière</translation>
    </message>
    <message>
        <source>Favourite: mark this material as one of yours</source>
        <translation>Favori : marquer cette matière comme l&apos;une des vôtres</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>Favori</translation>
    </message>
    <message>
        <source>Your own note on this material:</source>
        <translation>Votre note sur cette matière :</translation>
    </message>
    <message>
        <source>Your notes cannot be changed in this run:</source>
        <translation>Vos notes ne peuvent pas être modifiées dans cette session :</translation>
    </message>
</context>
<context>
    <name>zel::ui::ShortlistMenu</name>
    <message>
        <source>&amp;Shortlists</source>
        <translation>Sé&amp;lections</translation>
    </message>
    <message>
        <source>&amp;Add the material to a new shortlist...</source>
        <translation>&amp;Ajouter la matière à une nouvelle sélection...</translation>
    </message>
    <message>
        <source>No shortlists yet</source>
        <translation>Aucune sélection pour l&apos;instant</translation>
    </message>
    <message>
        <source>&amp;Show as the list</source>
        <translation>&amp;Afficher comme liste</translation>
    </message>
    <message>
        <source>&amp;Holds the current material</source>
        <translation>&amp;Contient la matière courante</translation>
    </message>
    <message>
        <source>&amp;Rename...</source>
        <translation>&amp;Renommer...</translation>
    </message>
    <message>
        <source>&amp;Delete...</source>
        <translation>&amp;Supprimer...</translation>
    </message>
    <message>
        <source>New shortlist</source>
        <translation>Nouvelle sélection</translation>
    </message>
    <message>
        <source>Name of the shortlist:</source>
        <translation>Nom de la sélection :</translation>
    </message>
    <message>
        <source>The shortlist %1 holds no material of this database.</source>
        <translation>La sélection %1 ne contient aucune matière de cette base de données.</translation>
    </message>
    <message>
        <source>Rename shortlist</source>
        <translation>Renommer la sélection</translation>
    </message>
    <message>
        <source>New name of the shortlist:</source>
        <translation>Nouveau nom de la sélection :</translation>
    </message>
    <message>
        <source>There is a shortlist named %1 already.</source>
        <translation>Une sélection nommée %1 existe déjà.</translation>
    </message>
    <message>
        <source>Delete shortlist</source>
        <translation>Supprimer la sélection</translation>
    </message>
    <message>
        <source>Delete the shortlist %1? The materials stay as they are.</source>
        <translation>Supprimer la sélection %1 ? Les matières restent telles quelles.</translation>
    </message>
</context>
<context>
    <name>zel::ui::StabilityGrid</name>
    <message>
        <source>Stability</source>
        <translation>Stabilité</translation>
    </message>
</context>
<context>
    <name>zel::ui::SuppliersPage</name>
    <message>
        <source>Search name:</source>
        <translation>Rech. nom :</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>City</source>
        <translation>Ville</translation>
    </message>
    <message>
        <source>Country</source>
        <translation>Pays</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Téléphone</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Détails</translation>
    </message>
    <message>
        <source>CAS</source>
        <translation>CAS</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Matière</translation>
    </message>
    <message>
        <source>Commercial</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>name</source>
        <translation>comm.</translation>
    </message>
    <message>
        <source>Materials</source>
        <translation>Matières</translation>
    </message>
</context>
<context>
    <name>zel::ui::TAlternativesWindow</name>
    <message>
        <source>Stable alternatives</source>
        <translation>Alternatives stables</translation>
    </message>
    <message>
        <source>&amp;Stable in</source>
        <translation>&amp;Stable dans</translation>
    </message>
    <message>
        <source>Media the alternatives must be stable in</source>
        <translation>Milieux dans lesquels les alternatives doivent être stables</translation>
    </message>
    <message>
        <source>rated &amp;++</source>
        <translation>noté &amp;++</translation>
    </message>
    <message>
        <source>rated + or &amp;better</source>
        <translation>noté + ou &amp;mieux</translation>
    </message>
    <message>
        <source>Alternatives, closest odour first</source>
        <translation>Alternatives, odeur la plus proche d&apos;abord</translation>
    </message>
    <message>
        <source>&amp;Alternatives:</source>
        <translation>&amp;Alternatives :</translation>
    </message>
    <message>
        <source>&amp;Go to material</source>
        <translation>Aller à la &amp;matière</translation>
    </message>
    <message>
        <source>Materials that smell like %1</source>
        <translation>Matières à l&apos;odeur proche de %1</translation>
    </message>
    <message>
        <source>Score</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Matière</translation>
    </message>
    <message>
        <source>CAS</source>
        <translation>CAS</translation>
    </message>
    <message>
        <source>Odour</source>
        <translation>Odeur</translation>
    </message>
</context>
<context>
    <name>zel::ui::TCompareForm</name>
    <message>
        <source>Compare materials</source>
        <translation>Comparer des matières</translation>
    </message>
    <message>
        <source>&amp;Find material:</source>
        <translation>&amp;Chercher une matière :</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Ajouter</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Retirer</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Imprimer...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <source>Materials compared</source>
        <translation>Matières comparées</translation>
    </message>
    <message>
        <source>No material has the CAS number %1.</source>
        <translation>Aucune matière n’a le numéro CAS %1.</translation>
    </message>
    <message>
        <source>Add one more material to compare and print.</source>
        <translation>Ajoutez encore une matière pour comparer et imprimer.</translation>
    </message>
    <message>
        <source>%1 is already in the comparison.</source>
        <translation>%1 figure déjà dans la comparaison.</translation>
    </message>
    <message>
        <source>A comparison holds at most six materials. Remove one (select its column, press Delete) to add %1.</source>
        <translation>Une comparaison contient au plus six matières. Retirez-en une (sélectionnez sa colonne, appuyez sur Suppr) pour ajouter %1.</translation>
    </message>
    <message>
        <source>Select the column of the material to remove.</source>
        <translation>Sélectionnez la colonne de la matière à retirer.</translation>
    </message>
    <message>
        <source>No material has the CAS number %1 any more.</source>
        <translation>Plus aucune matière n’a le numéro CAS %1.</translation>
    </message>
    <message>
        <source>A comparison needs at least two materials to print.</source>
        <translation>Il faut au moins deux matières pour imprimer une comparaison.</translation>
    </message>
</context>
<context>
    <name>zel::ui::TMainForm</name>
    <message>
        <source>&amp;Materials</source>
        <translation>&amp;Matières</translation>
    </message>
    <message>
        <source>&amp;Commercial names</source>
        <translation>Noms &amp;commerciaux</translation>
    </message>
    <message>
        <source>S&amp;uppliers</source>
        <translation>Fo&amp;urnisseurs</translation>
    </message>
    <message>
        <source>First</source>
        <translation>Premier</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <source>Last</source>
        <translation>Dernier</translation>
    </message>
    <message>
        <source>&amp;Order by CAS</source>
        <translation>&amp;Trier par CAS</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Sélection</translation>
    </message>
    <message>
        <source>&amp;Print Material</source>
        <translation>&amp;Imprimer matière</translation>
    </message>
    <message>
        <source>Hide details</source>
        <translation>Masquer détails</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Export list...</source>
        <translation>&amp;Exporter la liste...</translation>
    </message>
    <message>
        <source>&amp;Reload</source>
        <translation>&amp;Recharger</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>The reference data have changed: File › Reload shows them  </source>
        <translation>Les données de référence ont changé : Fichier › Recharger les affiche  </translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>&amp;Suppliers</source>
        <translation>&amp;Fournisseurs</translation>
    </message>
    <message>
        <source>Stable &amp;alternatives...</source>
        <translation>&amp;Alternatives stables...</translation>
    </message>
    <message>
        <source>&amp;Report</source>
        <translation>&amp;Rapport</translation>
    </message>
    <message>
        <source>Print &amp;Material</source>
        <translation>Imprimer la &amp;matière</translation>
    </message>
    <message>
        <source>Print &amp;Supplier</source>
        <translation>Imprimer le &amp;fournisseur</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Ai&amp;de</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Sommaire</translation>
    </message>
    <message>
        <source>&amp;About ZEL...</source>
        <translation>À &amp;propos de ZEL...</translation>
    </message>
    <message>
        <source>&amp;Order by name</source>
        <translation>&amp;Trier par nom</translation>
    </message>
    <message>
        <source>Search name</source>
        <translation>Rech. nom</translation>
    </message>
    <message>
        <source>Search CAS</source>
        <translation>Rech. CAS</translation>
    </message>
    <message>
        <source>&amp;Print Supplier</source>
        <translation>&amp;Imprimer fourn.</translation>
    </message>
    <message>
        <source>Show details</source>
        <translation>Voir détails</translation>
    </message>
    <message>
        <source>S&amp;earch name:</source>
        <translation>Rec&amp;h. nom :</translation>
    </message>
    <message>
        <source>S&amp;earch CAS:</source>
        <translation>Rec&amp;h. CAS :</translation>
    </message>
    <message>
        <source>Cannot open the help file %1</source>
        <translation>Impossible d&apos;ouvrir le fichier d&apos;aide %1</translation>
    </message>
    <message>
        <source>Export list</source>
        <translation>Exporter la liste</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>&amp;Select...</source>
        <translation>&amp;Sélectionner...</translation>
    </message>
    <message>
        <source>Materials</source>
        <translation>Matières</translation>
    </message>
    <message>
        <source>Commercial names</source>
        <translation>Noms commerciaux</translation>
    </message>
    <message>
        <source>Suppliers</source>
        <translation>Fournisseurs</translation>
    </message>
    <message>
        <source>Suppliers of the material</source>
        <translation>Fournisseurs de la matière</translation>
    </message>
    <message>
        <source>Materials of the supplier</source>
        <translation>Matières du fournisseur</translation>
    </message>
    <message>
        <source>Stability</source>
        <translation>Stabilité</translation>
    </message>
    <message>
        <source>&amp;Compare...</source>
        <translation>&amp;Comparer...</translation>
    </message>
    <message>
        <source>&amp;Add to comparison</source>
        <translation>Ajouter à la &amp;comparaison</translation>
    </message>
    <message>
        <source>Include my &amp;notes</source>
        <translation>Inclure mes &amp;notes</translation>
    </message>
    <message>
        <source>&amp;Add my favourite flag and note to each material</source>
        <translation>&amp;Ajouter mon marque-favori et ma note à chaque matière</translation>
    </message>
</context>
<context>
    <name>zel::ui::TSearchWindow</name>
    <message>
        <source>Doubleclick media for good stability (++)</source>
        <translation>Double-clic sur un milieu : bonne stabilité (++)</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Sélection</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Odour</source>
        <translation>Odeur</translation>
    </message>
    <message>
        <source>Performance</source>
        <translation>Performance</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>Stability</source>
        <translation>Stabilité</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Sélection</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>&amp;Toutes</translation>
    </message>
    <message>
        <source>C&amp;lear</source>
        <translation>&amp;Effacer</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
</context>
</TS>
