INSERT INTO TSYBCDETAILS (publisherBC, BCname, tableid, productID) VALUES
 ('PUB_Sales','RST_Shifts',203,'1028'), ('PUB_Plan','RST_Rota',216,'1028'), ('','RST_Leave',204,'1028'),
 ('','RST_Skills',209,'1028'), ('','RST_Sites',205,'1028'), ('','RST_Teams',208,'1028'),
 ('','RST_Hours',210,'1028'), ('','RST_Costs',211,'1028');
